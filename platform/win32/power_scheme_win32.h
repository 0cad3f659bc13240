// The active power scheme's lid and button actions through powrprof.dll (taken from
// System32 only: it is no KnownDLL), and the marker of a change in the tool's registry
// key (update_record_win32.h), value "HeldPowerActions" (REG_BINARY: the scheme's GUID,
// then the six actions as they were, little-endian DWORDs).
#pragma once

#include "platform/power_scheme.h"
#include "platform/win32/unique_handle.h"

class Win32PowerScheme final : public PowerScheme {
 public:
  Win32PowerScheme();
  bool Read(ButtonActions& actions) override;
  bool Write(const ButtonActions& actions) override;
  bool SaveMarker(const ButtonActions& before) override;
  MarkerRead LoadMarker(ButtonActions& before) override;
  bool ClearMarker() override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  bool Failed(const char* call, unsigned long code);

  UniqueLibrary powrprof_;
  LastSystemError last_;
};
