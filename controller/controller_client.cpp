#include "controller/controller_client.h"

#include <algorithm>

namespace {

constexpr std::int32_t kReturnImmediatelyForwardOnly = 0x30;

}  // namespace

std::u16string ObjectPathFor(std::u16string_view controllerId) {
  std::u16string path = u"SdkTbtController.ControllerId=\"";
  for (char16_t c : controllerId) {
    // A NUL would end the path where the system reads it: another object's path.
    if (c == u'\0') return {};
    if (c == u'\\' || c == u'"') path += u'\\';
    path += c;
  }
  path += u'"';
  if (path.size() >= kObjectPathCapacity) return {};
  return path;
}

bool ControllerClient::Took(const char* call, HResult hr) {
  if (Succeeded(hr)) return true;
  last_.Failed(call, static_cast<std::uint32_t>(hr));
  return false;
}

bool ControllerClient::ConnectController() {
  last_.Succeeded();
  std::unique_ptr<WbemLocator> locator;
  if (!Took("CoCreateInstance(WbemLocator)", com_.CreateLocator(locator)) || !locator) return false;
  std::unique_ptr<WbemServices> services;
  if (!Took("ConnectServer", locator->ConnectServer(kControllerNamespace, services)) || !services) return false;
  services_ = std::move(services);
  return true;
}

bool ControllerClient::FindController() {
  if (!services_) return false;
  std::unique_ptr<WbemEnumerator> instances;
  if (Took("ExecQuery",
           services_->ExecQuery(u"WQL", u"select * from SdkTbtController", kReturnImmediatelyForwardOnly, instances)) &&
      instances) {
    std::unique_ptr<WbemObject> first;
    if (instances->Next(first) == kOk && first) {
      WbemValue id;
      if (Succeeded(first->Get(u"ControllerId", id)) && id.type == WbemValue::Type::kString) {
        objectPath_ = ObjectPathFor(id.string);
        if (!objectPath_.empty()) controllerId_ = id.string;
      }
    }
  }
  return !objectPath_.empty();
}

// The objects of one method call, released in the order the provider expects: out-
// parameters, in-parameters, in-signature, class object (reverse of declaration).
struct ControllerClient::MethodCall {
  std::unique_ptr<WbemObject> classObject;
  std::unique_ptr<WbemObject> inSignature;
  std::unique_ptr<WbemObject> inParams;
  std::unique_ptr<WbemObject> outParams;
};

StatusCode ControllerClient::Prepare(const char16_t* method, bool hasInParams, MethodCall& call) {
  last_.Succeeded();
  if (!services_) return TBFW_E_NO_PROVIDER;
  if (objectPath_.empty() && !FindController()) return TBFW_E_NO_CONTROLLER;
  if (!Took("GetObject", services_->GetClassObject(kControllerClass, call.classObject)) || !call.classObject) {
    return TBFW_E_NO_PROVIDER;
  }
  if (!Took("GetMethod", call.classObject->GetMethod(method, hasInParams, call.inSignature))) {
    return TBFW_E_NO_PROVIDER;
  }
  if (hasInParams &&
      (!call.inSignature || !Took("SpawnInstance", call.inSignature->SpawnInstance(call.inParams)) || !call.inParams)) {
    return TBFW_E_NO_PROVIDER;
  }
  return kSuccess;
}

namespace {

// An integer out-parameter; false when the provider left it out, never set it (VT_NULL) or
// gave it another type. Taken as 0 it would read as success or as version 0.
bool GetInt32(WbemObject& object, const char16_t* name, std::int32_t& value) {
  WbemValue got;
  if (object.Get(name, got) != kOk || got.type != WbemValue::Type::kInt32) return false;
  value = got.int32;
  return true;
}

}  // namespace

StatusCode ControllerClient::Execute(const char16_t* method, MethodCall& call) {
  if (!Took("ExecMethod", services_->ExecMethod(objectPath_, method, call.inParams.get(), call.outParams)) ||
      !call.outParams) {
    return TBFW_E_NO_PROVIDER;
  }
  std::int32_t returnValue = 0;
  if (!GetInt32(*call.outParams, u"ReturnValue", returnValue)) return TBFW_E_NO_PROVIDER;
  return static_cast<StatusCode>(returnValue);
}

StatusCode ControllerClient::GetCurrentNvmVersion(std::uint32_t& version) {
  MethodCall call;
  if (StatusCode s = Prepare(u"GetCurrentNvmVersion", false, call); s != kSuccess) return s;
  const StatusCode status = Execute(u"GetCurrentNvmVersion", call);
  std::int32_t value = 0;
  const bool haveVersion = call.outParams && GetInt32(*call.outParams, u"NvmVersion", value);
  if (haveVersion) version = static_cast<std::uint32_t>(value);
  // A success without a version leaves nothing to hold an image against.
  if (status == kSuccess && !haveVersion) return TBFW_E_NO_PROVIDER;
  return status;
}

StatusCode ControllerClient::ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) {
  MethodCall call;
  if (StatusCode s = Prepare(u"ReadFirmware", true, call); s != kSuccess) return s;
  // A call without its range would read whatever the provider takes for none, and the
  // bytes would be compared as if they were the ones asked for.
  if (!Took("Put(offset)", call.inParams->Put(u"offset", WbemValue::Int32(static_cast<std::int32_t>(offset)))) ||
      !Took("Put(length)", call.inParams->Put(u"length", WbemValue::Int32(static_cast<std::int32_t>(length))))) {
    return TBFW_E_NO_MEMORY;
  }
  const StatusCode status = Execute(u"ReadFirmware", call);
  WbemValue data;
  const bool whole = call.outParams && call.outParams->Get(u"data", data) == kOk &&
                     data.type == WbemValue::Type::kBytes && data.ByteSpan().size() >= length;
  // The bytes are taken even when the provider reports a failure; a longer array gives
  // only the bytes asked for.
  if (whole && buffer != nullptr) std::copy_n(data.ByteSpan().begin(), length, buffer);
  // A success that did not bring every byte asked for is no read: the buffer would be
  // compared as if it held the controller's bytes.
  if (status == kSuccess && !whole) return TBFW_E_NO_PROVIDER;
  return status;
}

StatusCode ControllerClient::UpdateFirmware(std::span<const std::uint8_t> image) {
  MethodCall call;
  if (StatusCode s = Prepare(u"UpdateFirmware", true, call); s != kSuccess) return s;
  // Without the image and its size in the call the provider would be asked to write
  // nothing or garbage: an image that cannot be handed over is not written at all. The
  // image goes into the call's array straight from the caller's block.
  if (!Took("Put(BufferSize)",
            call.inParams->Put(u"BufferSize", WbemValue::Int32(static_cast<std::int32_t>(image.size())))) ||
      !Took("Put(Buffer)", call.inParams->Put(u"Buffer", WbemValue::BorrowedBytes(image)))) {
    return TBFW_E_NO_MEMORY;
  }
  return Execute(u"UpdateFirmware", call);
}
