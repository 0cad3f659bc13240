#include "platform/win32/worker_platform_win32.h"

#include <windows.h>

#include <string_view>
#include <utility>

#include "platform/win32/final_path_win32.h"
#include "platform/win32/module_path_win32.h"
#include "platform/win32/noted_win32.h"
#include "platform/win32/power_source_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

class Win32ImageFile final : public ImageFile {
 public:
  Win32ImageFile(HANDLE file, LastSystemError& last) : file_(file), last_(last) {}
  bool Size(std::uint64_t& size) override {
    DWORD high = 0;
    const DWORD low = GetFileSize(file_.get(), &high);
    if (const DWORD error = low == INVALID_FILE_SIZE ? GetLastError() : NO_ERROR; error != NO_ERROR) {
      last_.Failed("GetFileSize", error);
      return false;
    }
    last_.Succeeded();
    size = (std::uint64_t{high} << 32) | low;
    return true;
  }
  bool Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& read) override {
    DWORD got = 0;
    const bool ok = Noted(last_, "ReadFile", ReadFile(file_.get(), buffer, size, &got, nullptr) != FALSE);
    read = got;
    return ok;
  }

 private:
  UniqueFile file_;
  LastSystemError& last_;
};

// A moveable, zero-filled global memory block, locked while it lives.
class Win32ImageBlock final : public ImageBlock {
 public:
  Win32ImageBlock(UniqueGlobal memory, std::uint8_t* data) : memory_(std::move(memory)), data_(data) {}
  ~Win32ImageBlock() override { GlobalUnlock(memory_.get()); }
  Win32ImageBlock(const Win32ImageBlock&) = delete;
  Win32ImageBlock& operator=(const Win32ImageBlock&) = delete;
  std::uint8_t* data() override { return data_; }

 private:
  UniqueGlobal memory_;
  std::uint8_t* data_;
};

// A directory, a reparse point (a symbolic link or a junction, which would lead out of the
// folder), or a name the system turns into a device, is no image file. A file called
// NUL.bin or COM1.bin can be made (through the "\\?\" prefix) and is listed, but systems
// that ignore the extension of a device name open the device when the name is opened.
bool IsRegularFile(const std::u16string& folder, const WIN32_FIND_DATAW& entry) {
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
  if ((entry.dwFileAttributes & kNotAFile) != 0) return false;
  const std::u16string path = folder + AsUtf16(entry.cFileName);
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(AsWide(path.c_str()), MAX_PATH, full, nullptr);
  if (length == 0) return false;
  // A device's full path is "\\.\NAME", far shorter than the buffer.
  return length >= MAX_PATH || std::wstring_view(full, length).substr(0, 4) != L"\\\\.\\";
}

}  // namespace

void Win32WorkerPlatform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::u16string Win32WorkerPlatform::ModulePath() { return ::ModulePath(); }

bool Win32WorkerPlatform::FindEntries(const std::u16string& pattern,
                                      const std::function<bool(std::u16string_view)>& visit) {
  WIN32_FIND_DATAW entry{};
  const UniqueFind search(FindFirstFileW(AsWide(pattern.c_str()), &entry));
  if (!Noted(last_, "FindFirstFileW", static_cast<bool>(search))) return false;
  const std::u16string folder = pattern.substr(0, pattern.rfind(u'\\') + 1);
  do {
    if (IsRegularFile(folder, entry) && !visit(AsUtf16(entry.cFileName))) break;
  } while (FindNextFileW(search.get(), &entry));
  return true;
}

std::unique_ptr<ImageFile> Win32WorkerPlatform::OpenImageFile(const std::u16string& path) {
  // A link put in the file's place after the search is opened as itself, not followed.
  // Readers may share it (a virus scanner, a user looking at it); writers and a delete
  // stay shut out while the tool holds it. No oplock is asked for, so none is waited on.
  const HANDLE h = CreateFileW(AsWide(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  // Past the open, only a failed system call gives a reason; the other checks refuse for
  // reasons of the tool's own.
  if (!Noted(last_, "CreateFileW", h != INVALID_HANDLE_VALUE)) return nullptr;
  auto file = std::make_unique<Win32ImageFile>(h, last_);
  // Whatever the name, what was opened must be a file on a disk, not a device or a pipe.
  if (GetFileType(h) != FILE_TYPE_DISK) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!Noted(last_, "GetFileInformationByHandle", GetFileInformationByHandle(h, &info) != FALSE)) return nullptr;
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) return nullptr;
  // And it must lie in the folder it was found in, however that folder is reached: its
  // final path is inside the folder's final path.
  const std::size_t slash = path.rfind(u'\\');
  if (slash == std::u16string::npos) return nullptr;
  const std::u16string folderPath = path.substr(0, slash);
  const UniqueFile folder(CreateFileW(AsWide(folderPath.c_str()), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!Noted(last_, "CreateFileW", static_cast<bool>(folder))) return nullptr;
  const std::wstring image = FinalPathOf(h);
  const std::wstring inside = FinalPathOf(folder.get());
  const std::size_t imageSlash = image.rfind(L'\\');
  if (inside.empty() || imageSlash == std::wstring::npos || !SamePath(image.substr(0, imageSlash), inside)) {
    return nullptr;
  }
  return file;
}

std::unique_ptr<ImageBlock> Win32WorkerPlatform::AllocateImageBlock(std::uint32_t size) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!Noted(last_, "GlobalAlloc", static_cast<bool>(memory))) return nullptr;
  auto* data = static_cast<std::uint8_t*>(GlobalLock(memory.get()));
  if (!Noted(last_, "GlobalLock", data != nullptr)) return nullptr;
  return std::make_unique<Win32ImageBlock>(std::move(memory), data);
}

std::optional<std::string> Win32WorkerPlatform::PinnedImageDigest() {
  const HRSRC found = FindResourceW(nullptr, L"PINNED_IMAGE_SHA256", RT_RCDATA);
  if (found == nullptr) return std::nullopt;
  constexpr DWORD kDigits = 64;
  const HGLOBAL loaded = LoadResource(nullptr, found);
  const void* digest = loaded != nullptr ? LockResource(loaded) : nullptr;
  // Pinned, but the pin cannot be read: a digest no image has.
  if (digest == nullptr || SizeofResource(nullptr, found) != kDigits) return std::string();
  return std::string(static_cast<const char*>(digest), kDigits);
}

PowerSource Win32WorkerPlatform::QueryPowerSource() {
  const std::optional<bool> onBattery = SystemOnBattery();
  if (!onBattery) return PowerSource::kUnknown;
  return *onBattery ? PowerSource::kBattery : PowerSource::kAc;
}
