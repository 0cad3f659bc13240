// The tool's own lookup: Update.ini in the data folder beside the running program.
#include "skin/win32/localized_text_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>

#include "platform/win32/module_path_win32.h"
#include "platform/win32/wide.h"

namespace {

class BesideTheModule : public ::testing::Test {
 protected:
  void SetUp() override {
    std::u16string folder = ModulePath();
    folder.resize(folder.rfind(u'\\') + 1);
    data_ = folder + u"data";
    ini_ = data_ + u"\\Update.ini";
    CreateDirectoryW(AsWide(data_.c_str()), nullptr);
    std::ofstream out(AsWide(ini_.c_str()), std::ios::binary);
    const char16_t text[] = u"\uFEFF[Language]\r\n0x409=EN\r\n0x411=JA\r\n[EN]\r\nIDS_UPDATE=Update\r\n"
                            u"[JA]\r\nIDS_UPDATE=\u66F4\u65B0\r\n";
    out.write(reinterpret_cast<const char*>(text), sizeof text - sizeof(char16_t));
  }
  void TearDown() override {
    DeleteFileW(AsWide(ini_.c_str()));
    RemoveDirectoryW(AsWide(data_.c_str()));
  }
  std::u16string data_, ini_;
};

std::u16string Text(std::uint16_t language, const char16_t* key) {
  std::array<char16_t, 256> buffer;
  buffer.fill(u'#');
  LoadLocalizedText(language, key, buffer.data(), buffer.size());
  return buffer.data();
}

TEST_F(BesideTheModule, ReadsTheTextsOfTheLanguage) {
  EXPECT_EQ(Text(0x0411, u"IDS_UPDATE"), u"\u66F4\u65B0");
  EXPECT_EQ(Text(0x0809, u"IDS_UPDATE"), u"Update");
  EXPECT_EQ(Text(0x040C, u"IDS_UPDATE"), u"Update");  // falls back to 0x409
  EXPECT_EQ(Text(0x0411, u"IDS_EXIT"), u"");
}

TEST(LoadLocalizedTextWin32, WithoutTheFileTheTextIsEmpty) {
  EXPECT_EQ(Text(0x0409, u"IDS_UPDATE"), u"");
}

}  // namespace
