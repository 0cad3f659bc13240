// The window's resources as the executable carries them: every skin image at its design
// size as 8-bit RGBA PNG, the icon, and dialog template 100 control by control.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Bytes {
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
};

Bytes Resource(UINT id, const wchar_t* type) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  return {static_cast<const std::uint8_t*>(::LockResource(loaded)), ::SizeofResource(module, found)};
}

std::uint32_t BigEndian(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

TEST(Resources, EverySkinImageIsAnRgbaPngAtItsDesignSize) {
  struct Row {
    UINT first, last;
    std::uint32_t width, height;
  } rows[] = {
      {129, 129, 1560, 1240}, {130, 133, 76, 76},   {134, 134, 30, 30},   {135, 135, 1448, 568},
      {136, 136, 48, 43},     {137, 140, 368, 76},  {141, 148, 132, 132}, {150, 153, 508, 76},
  };
  int checked = 0;
  for (const Row& row : rows)
    for (UINT id = row.first; id <= row.last; ++id, ++checked) {
      Bytes png = Resource(id, L"IMG");
      ASSERT_GE(png.size, 33u) << id;
      static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
      ASSERT_EQ(std::memcmp(png.data, signature, 8), 0) << id;
      ASSERT_EQ(std::memcmp(png.data + 12, "IHDR", 4), 0) << id;
      EXPECT_EQ(BigEndian(png.data + 16), row.width) << id;
      EXPECT_EQ(BigEndian(png.data + 20), row.height) << id;
      EXPECT_EQ(png.data[24], 8) << id << ": bits per channel";
      EXPECT_EQ(png.data[25], 6) << id << ": colour type RGBA";
    }
  EXPECT_EQ(checked, 24);
  EXPECT_EQ(Resource(149, L"IMG").data, nullptr) << "149 is a control id, not an image";
}

TEST(Resources, GroupIconLoads) {
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
  ASSERT_NE(icon, nullptr);
  ::DestroyIcon(icon);
  EXPECT_NE(Resource(128, RT_GROUP_ICON).data, nullptr);
}

// Reads an extended dialog template (DLGTEMPLATEEX and DLGITEMTEMPLATEEX).
class TemplateReader {
 public:
  explicit TemplateReader(Bytes bytes) : p_(bytes.data), end_(bytes.data + bytes.size) {}
  std::uint16_t Word() { return Read<std::uint16_t>(); }
  std::uint32_t Dword() { return Read<std::uint32_t>(); }
  std::int16_t Short() { return Read<std::int16_t>(); }
  // A string, or an ordinal as "#n".
  std::wstring SzOrOrdinal() {
    std::uint16_t first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring text;
    for (std::uint16_t c = first; c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
  void AlignDword() {
    while ((reinterpret_cast<std::uintptr_t>(p_) & 3) != 0) ++p_;
  }
  bool Overrun() const { return p_ > end_; }

 private:
  template <typename T>
  T Read() {
    T value{};
    if (p_ + sizeof(T) <= end_) std::memcpy(&value, p_, sizeof(T));
    p_ += sizeof(T);
    return value;
  }
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

TEST(Resources, DialogTemplate100) {
  Bytes bytes = Resource(100, RT_DIALOG);
  ASSERT_NE(bytes.data, nullptr);
  TemplateReader t(bytes);
  EXPECT_EQ(t.Word(), 1) << "version";
  EXPECT_EQ(t.Word(), 0xFFFF) << "extended template";
  EXPECT_EQ(t.Dword(), 0u) << "help id";
  EXPECT_EQ(t.Dword(), 0x00040000u) << "WS_EX_APPWINDOW";
  EXPECT_EQ(t.Dword(), 0x10C00040u) << "WS_VISIBLE | WS_CAPTION | DS_SETFONT";
  EXPECT_EQ(t.Word(), 11) << "controls";
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 320);
  EXPECT_EQ(t.Short(), 200);
  EXPECT_EQ(t.SzOrOrdinal(), L"") << "menu";
  EXPECT_EQ(t.SzOrOrdinal(), L"") << "class";
  EXPECT_EQ(t.SzOrOrdinal(), L"VORIZOredor");
  EXPECT_EQ(t.Word(), 8) << "point size";
  t.Word();  // weight
  t.Word();  // italic, charset
  EXPECT_EQ(t.SzOrOrdinal(), L"MS Sans Serif");

  struct Control {
    std::uint16_t id;
    const wchar_t* windowClass;
    std::uint32_t style;
  } controls[] = {
      {1, L"#128", 0x50010000},    {2, L"#128", 0x50010000},    {1003, L"#128", 0x50010000},
      {1007, L"#128", 0x50010000}, {1008, L"#128", 0x50010000}, {149, L"#130", 0x50020000},
      {1001, L"#130", 0x50020000}, {1002, L"#130", 0x50020000}, {1004, L"#130", 0x50020000},
      {1005, L"#130", 0x50020000}, {1006, L"#130", 0x50020000},
  };
  for (const Control& c : controls) {
    t.AlignDword();
    t.Dword();  // help id
    EXPECT_EQ(t.Dword(), 0u) << c.id << ": extended style";
    EXPECT_EQ(t.Dword(), c.style) << c.id;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(t.Short(), 0) << c.id << ": position and size";
    EXPECT_EQ(t.Dword(), c.id);
    // windres writes the predefined classes as ordinals (0x80 button, 0x82 static).
    std::wstring windowClass = t.SzOrOrdinal();
    if (windowClass == L"BUTTON") windowClass = L"#128";
    if (windowClass == L"STATIC") windowClass = L"#130";
    EXPECT_EQ(windowClass, c.windowClass) << c.id;
    EXPECT_EQ(t.SzOrOrdinal(), L"") << c.id << ": text";
    EXPECT_EQ(t.Word(), 0) << c.id << ": creation data";
  }
  EXPECT_FALSE(t.Overrun());
}

}  // namespace
