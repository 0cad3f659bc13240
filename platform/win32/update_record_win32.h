// The record of a written image in the registry, where a deployment system's detection
// script reads it: HKLM\SOFTWARE\Vanto\ThunderboltFirmwareUpdate in the 64-bit view (a
// 64-bit script reads there; this 32-bit program would otherwise write under WOW6432Node).
//
//   NvmVersion    REG_DWORD  the written image's NVM version
//   ImageSha256   REG_SZ     the image file's SHA-256, lower-case hexadecimal
//   ControllerId  REG_SZ     the provider's id of the controller
//   WrittenUtc    REG_SZ     when, "YYYY-MM-DDTHH:MM:SSZ"
//   WrittenBoot   REG_QWORD  the system's start time then (FILETIME, UTC); a later start
//                            time tells that the computer has been started since
//   Activation    REG_SZ     "pending" after the write, "active" once a later run finds the
//                            controller at its version, "not activated" when a run in a
//                            later boot finds it still at another
// and the last attempt to write, whatever it came to:
//   LastAttemptUtc, LastAttemptVersion (REG_DWORD), LastAttemptSha256, LastAttemptStatus
//   (REG_DWORD), LastAttemptOutcome ("written", "refused", "failed", "already current",
//   "pending")
#pragma once

#include "platform/update_record.h"

inline constexpr wchar_t kUpdateRecordKey[] = L"SOFTWARE\\Vanto\\ThunderboltFirmwareUpdate";

class Win32UpdateRecord final : public UpdateRecord {
 public:
  bool Save(const WrittenImage& written) override;
  // thisBoot when the recorded start time is within two minutes of the system's present
  // one: both are now less the time the system has run, read a moment apart, so they
  // differ by the clock's steps, never by a whole restart.
  RecordRead Load(RecordedImage& recorded) override;
  bool SaveAttempt(const AttemptedImage& attempt) override;
  bool MarkActivation(const char* activation) override;
};
