#include "app/win32/run_event_win32.h"

#include <windows.h>

#include <vector>

#include "common/utf8.h"
#include "platform/win32/module_path_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

constexpr DWORD kRunEventId = 1;  // TBTFW_EVENT_RUN of run_events.mc

constexpr wchar_t kSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\"
    L"Vanto Thunderbolt Firmware Update";

// The source names this exe as its message file, so the Event Viewer finds the text; a
// package moved or run from another folder updates it.
void RegisterSource() {
  const std::u16string exe = ModulePath();
  if (exe.empty()) return;
  UniqueKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      key.put(), nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring file(AsWide(exe.c_str()), exe.size());
  const std::size_t bytes = (file.size() + 1) * sizeof(wchar_t);
  RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                 static_cast<DWORD>(bytes));
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types), sizeof types);
}

WORD TypeOf(EventLevel level) {
  switch (level) {
    case EventLevel::kInformation: return EVENTLOG_INFORMATION_TYPE;
    case EventLevel::kWarning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::kError: break;
  }
  return EVENTLOG_ERROR_TYPE;
}

}  // namespace

bool ReportRunEvent(const RunEvent& event) {
  RegisterSource();
  const UniqueEventSource source(RegisterEventSourceW(nullptr, kEventSourceName));
  if (!source) return false;
  std::vector<std::u16string> texts;
  for (const std::string& insert : event.inserts) texts.push_back(FromUtf8(insert));
  std::vector<LPCWSTR> strings;
  for (const std::u16string& text : texts) strings.push_back(AsWide(text.c_str()));
  return ReportEventW(source.get(), TypeOf(event.level), 0, kRunEventId, nullptr, static_cast<WORD>(strings.size()), 0,
                      strings.data(), nullptr) != FALSE;
}
