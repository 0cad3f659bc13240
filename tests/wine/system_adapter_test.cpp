// The file adapters against the system's own implementations.
#include "platform/win32/device_io_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/worker_platform_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/module_path_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

// A folder of the test's own beside the test program, removed afterwards.
class Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::u16string module = ModulePath();
    root_ = module.substr(0, module.rfind(u'\\') + 1) + u"search-" +
            AsUtf16(std::to_wstring(GetCurrentProcessId()).c_str());
    CreateDirectoryW(AsWide(root_.c_str()), nullptr);
  }
  void TearDown() override {
    for (const auto& f : files_) DeleteFileW(AsWide(f.c_str()));
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryW(AsWide(it->c_str()));
    RemoveDirectoryW(AsWide(root_.c_str()));
  }
  std::u16string File(const std::u16string& name, const std::vector<std::uint8_t>& bytes) {
    const std::u16string path = root_ + u"\\" + name;
    std::ofstream(AsWide(path.c_str()), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    files_.push_back(path);
    return path;
  }
  void Dir(const std::u16string& name) {
    dirs_.push_back(root_ + u"\\" + name);
    CreateDirectoryW(AsWide(dirs_.back().c_str()), nullptr);
  }
  std::vector<std::u16string> List(const std::u16string& pattern) {
    std::vector<std::u16string> names;
    EXPECT_TRUE(platform_.FindEntries(root_ + u"\\" + pattern, [&](std::u16string_view n) {
      names.emplace_back(n);
      return true;
    }));
    return names;
  }

  Win32WorkerPlatform platform_;
  std::u16string root_;
  std::vector<std::u16string> files_, dirs_;
};

TEST_F(Folder, SearchListsRegularFilesOnly) {
  File(u"a.bin", {1});
  File(u"b.bin", {2});
  File(u"notes.txt", {3});
  Dir(u"x.bin");
  // Made past the device-name rule; opening the name "nul.bin" opens the NUL device.
  files_.push_back(u"\\\\?\\" + root_ + u"\\nul.bin");
  std::ofstream(AsWide(files_.back().c_str())) << 'x';
  std::vector<std::u16string> all = List(u"*");
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all, (std::vector<std::u16string>{u"a.bin", u"b.bin", u"notes.txt"}));
  std::vector<std::u16string> images = List(u"*.bin");
  std::sort(images.begin(), images.end());
  EXPECT_EQ(images, (std::vector<std::u16string>{u"a.bin", u"b.bin"}));
  EXPECT_FALSE(platform_.OpenImageFile(root_ + u"\\nul.bin"));  // a device, not a disk file
  EXPECT_FALSE(platform_.FindEntries(root_ + u"\\missing\\*.bin", [](std::u16string_view) { return true; }));
  // The visitor ends the search.
  int visited = 0;
  platform_.FindEntries(root_ + u"\\*", [&](std::u16string_view) { return ++visited < 2; });
  EXPECT_EQ(visited, 2);
}

TEST_F(Folder, ImageFilesAreReadWholeAndHeldAgainstWriters) {
  std::vector<std::uint8_t> bytes(5000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  const std::u16string path = File(u"image.bin", bytes);
  std::unique_ptr<ImageFile> file = platform_.OpenImageFile(path);
  ASSERT_TRUE(file);
  // Shared with readers only: a second reader opens it, a writer or a delete cannot,
  // so nobody changes the image while it is read and written.
  EXPECT_TRUE(platform_.OpenImageFile(path));
  const UniqueFile writer(CreateFileW(AsWide(path.c_str()), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(writer);
  EXPECT_FALSE(DeleteFileW(AsWide(path.c_str())));
  std::uint64_t size = 0;
  ASSERT_TRUE(file->Size(size));
  EXPECT_EQ(size, 5000u);
  std::unique_ptr<ImageBlock> block = platform_.AllocateImageBlock(5000);
  ASSERT_TRUE(block);
  EXPECT_EQ(std::count(block->data(), block->data() + 5000, 0), 5000);  // zero-filled
  std::uint32_t read = 0;
  ASSERT_TRUE(file->Read(block->data(), 5000, read));
  EXPECT_EQ(read, 5000u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), block->data()));
  file.reset();
  EXPECT_TRUE(platform_.OpenImageFile(path));  // closed when dropped
  Dir(u"dir.bin");
  EXPECT_FALSE(platform_.OpenImageFile(root_ + u"\\dir.bin"));
  EXPECT_FALSE(platform_.OpenImageFile(root_ + u"\\missing.bin"));
}

}  // namespace
