#include "platform/win32/device_io_win32.h"

#include <windows.h>

#include "platform/win32/noted_win32.h"
#include "platform/win32/wide.h"

DeviceHandle Win32DeviceIo::OpenDevice(const std::u16string& path) {
  const HANDLE h = CreateFileW(AsWide(path.c_str()), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  Noted(last_, "CreateFileW", h != INVALID_HANDLE_VALUE);
  return reinterpret_cast<DeviceHandle>(h);
}

bool Win32DeviceIo::Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
                            std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) {
  DWORD got = 0;
  const BOOL ok = DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<std::uint8_t*>(in), inLength, out,
                                  outLength, &got, nullptr);
  Noted(last_, "DeviceIoControl", ok != FALSE);
  returned = got;
  return ok != FALSE;
}

void Win32DeviceIo::Close(DeviceHandle device) { CloseHandle(reinterpret_cast<HANDLE>(device)); }
