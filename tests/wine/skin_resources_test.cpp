// The window's resources as the executable carries them: every skin image at its design
// size as 8-bit RGBA PNG, the icon, and the dialog template with the
// controls of the layout table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <map>
#include <vector>

#include "app/window_layout.h"
#include "platform/win32/unique.h"
#include "resources/control_ids.h"

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
      {129, 129, 1560, 1240}, {130, 133, 76, 76},  {134, 134, 30, 30},   {135, 135, 1448, 568},
      {136, 136, 48, 43},     {137, 140, 368, 76}, {141, 148, 132, 132}, {150, 153, 508, 76},
  };
  for (const Row& row : rows)
    for (UINT id = row.first; id <= row.last; ++id) {
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
  EXPECT_EQ(Resource(149, L"IMG").data, nullptr) << "149 is a control id, not an image";
}

TEST(Resources, GroupIconLoads) {
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOOL));
  ASSERT_NE(icon, nullptr);
  ::DestroyIcon(icon);
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The template and the layout table the window makes its controls from name the same
// controls, each of the same kind: the window casts on the table's word.
TEST(Resources, TheDialogTemplateHoldsTheLayoutTablesControls) {
  Bytes bytes = Resource(IDD_UPDATE, RT_DIALOG);
  ASSERT_GE(bytes.size, 16u);
  // Created from a copy without WS_VISIBLE (the style at offset 12 of DLGTEMPLATEEX): under
  // Wine without a window manager, destroying a shown window waits for one.
  std::vector<std::uint8_t> copy(bytes.data, bytes.data + bytes.size);
  DWORD style = 0;
  std::memcpy(&style, copy.data() + 12, sizeof style);
  style &= ~static_cast<DWORD>(WS_VISIBLE);
  std::memcpy(copy.data() + 12, &style, sizeof style);
  Unique<HandleTraits<HWND, ::DestroyWindow>> dialog(::CreateDialogIndirectParamW(
      ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr, IgnoreMessages, 0));
  ASSERT_TRUE(dialog);
  std::map<int, ControlKind> inTemplate;
  for (HWND c = ::GetWindow(dialog.get(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    ::GetClassNameW(c, name, 32);
    const bool button = ::_wcsicmp(name, L"Button") == 0;
    EXPECT_TRUE(button || ::_wcsicmp(name, L"Static") == 0) << ::GetDlgCtrlID(c);
    EXPECT_TRUE(inTemplate.emplace(::GetDlgCtrlID(c), button ? ControlKind::kButton : ControlKind::kPanel).second)
        << "id " << ::GetDlgCtrlID(c) << " twice";
  }
  std::map<int, ControlKind> inTable;
  for (const ControlLayout& row : kWindowLayout) inTable.emplace(row.id, row.kind);
  EXPECT_EQ(inTemplate, inTable);
}

}  // namespace
