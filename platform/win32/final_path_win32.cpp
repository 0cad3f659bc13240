#include "platform/win32/final_path_win32.h"

std::wstring WithoutLongPrefix(std::wstring_view path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  constexpr std::wstring_view kUnc = L"UNC\\";
  if (path.substr(0, kPrefix.size()) != kPrefix) return std::wstring(path);
  path.remove_prefix(kPrefix.size());
  if (path.size() >= kUnc.size() && SamePath(path.substr(0, kUnc.size()), kUnc)) {
    return L"\\\\" + std::wstring(path.substr(kUnc.size()));
  }
  return std::wstring(path);
}

std::wstring FinalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  if (length >= path.size()) {
    path.resize(length + 1);
    length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= path.size()) return {};
  return WithoutLongPrefix(std::wstring_view(path.data(), length));
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}
