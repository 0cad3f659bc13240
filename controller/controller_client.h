// The client of the controller's WMI provider: class SdkTbtController in the namespace
// "ROOT\Intel\Thunderbolt", and its methods GetCurrentNvmVersion, ReadFirmware and
// UpdateFirmware. Every method gives a StatusCode: the provider's "ReturnValue", or
// TBFW_E_NO_PROVIDER / TBFW_E_NO_CONTROLLER when the method cannot be run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "controller/controller_access.h"
#include "platform/com_runtime.h"
#include "platform/system_error.h"
#include "platform/wbem.h"

inline constexpr char16_t kControllerNamespace[] = u"ROOT\\Intel\\Thunderbolt";
inline constexpr char16_t kControllerClass[] = u"SdkTbtController";
inline constexpr std::size_t kObjectPathCapacity = 260;  // at most 259 characters

// The object path of the controller with this id: SdkTbtController.ControllerId="ID" with
// every backslash and double quote in the id escaped by a backslash, so the id cannot end
// the quoted value early. Empty when the id holds a NUL or the path would not fit the
// path buffer (kObjectPathCapacity, with its terminator): a cut path would address
// another object.
std::u16string ObjectPathFor(std::u16string_view controllerId);

class ControllerClient final : public ControllerAccess {
 public:
  explicit ControllerClient(ComRuntime& com) : com_(com) {}

  // Connects to the controller's namespace; a new connection replaces an earlier one.
  bool ConnectController();
  // Finds the first controller instance and keeps its object path. A path that would not
  // fit whole is not kept: a cut path would address another object.
  bool FindController();

  // An unset or non-integer "ReturnValue" or "NvmVersion", or (for ReadFirmware) "data"
  // that is not a byte array of at least `length` bytes, gives TBFW_E_NO_PROVIDER where
  // the provider's status would have been 0.
  StatusCode GetCurrentNvmVersion(std::uint32_t& version) override;
  StatusCode ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) override;
  StatusCode UpdateFirmware(std::span<const std::uint8_t> image);

  // Drops the connection; done before COM is uninitialised on the thread that made it.
  void Disconnect() { services_.reset(); }
  const std::u16string& ObjectPath() const { return objectPath_; }
  // The "ControllerId" of the controller found, as the provider gave it.
  const std::u16string& ControllerId() const { return controllerId_; }
  // The COM or WMI call that made the last connect, search or method fail, with its
  // HRESULT; empty when none failed (a provider's own non-zero "ReturnValue" included).
  SystemError LastFailure() const { return last_.Get(); }

 private:
  struct MethodCall;
  // The steps every method shares before the call; 0 when the call may be made.
  StatusCode Prepare(const char16_t* method, bool hasInParams, MethodCall& call);
  // Runs the method; its "ReturnValue", or TBFW_E_NO_PROVIDER when that is not an integer.
  StatusCode Execute(const char16_t* method, MethodCall& call);
  // Whether `hr` is a success; a failure is kept, with the call's name, for the log.
  bool Took(const char* call, HResult hr);

  ComRuntime& com_;
  std::unique_ptr<WbemServices> services_;
  std::u16string objectPath_;
  std::u16string controllerId_;
  LastSystemError last_;
};
