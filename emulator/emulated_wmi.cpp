#include "emulator/emulated_wmi.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <map>
#include <string>

#include "common/utf8.h"

namespace {

// HRESULT_FROM_WIN32(ERROR_SERVICE_DISABLED): the WMI service is turned off.
constexpr HResult kServiceDisabled = static_cast<HResult>(0x80070422);

// A bag of named values: instances, in- and out-parameters, classes.
class EmulatedObject : public WbemObject {
 public:
  EmulatedObject(ControllerModel& model, std::map<std::u16string, WbemValue> values = {})
      : model_(model), values_(std::move(values)) {}

  HResult Get(const std::u16string& name, WbemValue& value) override {
    auto it = values_.find(name);
    if (it == values_.end()) return kNotFound;
    value = it->second;
    return kOk;
  }
  HResult Put(const std::u16string& name, const WbemValue& value) override {
    if (name == u"Buffer" && model_.Has(Fault::kBufferNotCreated)) return kOutOfMemory;
    if (name == u"BufferSize" && model_.Has(Fault::kBufferSizeNotPut)) return kOutOfMemory;
    if ((name == u"offset" || name == u"length") && model_.Has(Fault::kReadRangeNotPut)) return kOutOfMemory;
    // The object keeps its own copy, as WMI's does: borrowed bytes become owned.
    const std::span<const std::uint8_t> bytes = value.ByteSpan();
    values_[name] = value.type == WbemValue::Type::kBytes ? WbemValue::Bytes({bytes.begin(), bytes.end()}) : value;
    return kOk;
  }
  HResult GetMethod(const std::u16string& name, bool wantInSignature,
                    std::unique_ptr<WbemObject>& inSignature) override {
    if (model_.Has(Fault::kNoMethod)) return kNotFound;
    if (name != u"GetCurrentNvmVersion" && name != u"ReadFirmware" && name != u"UpdateFirmware") return kNotFound;
    if (wantInSignature && name != u"GetCurrentNvmVersion") inSignature = std::make_unique<EmulatedObject>(model_);
    return kOk;
  }
  HResult SpawnInstance(std::unique_ptr<WbemObject>& instance) override {
    if (model_.Has(Fault::kNoSpawn)) return kFailed;
    instance = std::make_unique<EmulatedObject>(model_);
    return kOk;
  }
  const std::map<std::u16string, WbemValue>& values() const { return values_; }

 private:
  ControllerModel& model_;
  std::map<std::u16string, WbemValue> values_;
};

class EmulatedEnumerator final : public WbemEnumerator {
 public:
  EmulatedEnumerator(ControllerModel& model, bool hasInstance) : model_(model), remaining_(hasInstance) {}
  HResult Next(std::unique_ptr<WbemObject>& object) override {
    if (!remaining_) return kFalse;
    remaining_ = false;
    WbemValue id = WbemValue::String(model_.controllerId);
    if (model_.Has(Fault::kIdNotString)) id = WbemValue::Int32(7);
    if (model_.Has(Fault::kIdTooLong)) id = WbemValue::String(std::u16string(228, u'x'));
    object = std::make_unique<EmulatedObject>(model_, std::map<std::u16string, WbemValue>{{u"ControllerId", id}});
    return kOk;
  }

 private:
  ControllerModel& model_;
  bool remaining_;
};

// Replaces `method`'s out-parameters in `out` as the scenario's replies say.
void ApplyReplies(const ControllerModel& model, const std::string& method, std::map<std::u16string, WbemValue>& out) {
  for (const auto& [key, reply] : model.replies) {
    if (key.rfind(method + ".", 0) != 0) continue;
    const std::string parameter = key.substr(method.size() + 1);
    const auto it = out.find(std::u16string(parameter.begin(), parameter.end()));
    if (it == out.end()) continue;
    WbemValue& value = it->second;
    switch (reply) {
      case Reply::kNull: value = WbemValue::Of(WbemValue::Type::kNull); break;
      case Reply::kMissing: out.erase(it); break;
      case Reply::kText: value = WbemValue::String(u"0"); break;
      case Reply::kShort: value.bytes.resize(value.bytes.size() / 2); break;
      case Reply::kEmpty: value.bytes.clear(); break;
    }
  }
}

std::u16string ExpectedPath(const ControllerModel& model) {
  std::u16string path = u"SdkTbtController.ControllerId=\"";
  for (char16_t c : model.controllerId) {
    if (c == u'\\' || c == u'"') path += u'\\';
    path += c;
  }
  return path + u"\"";
}

class EmulatedServices final : public WbemServices {
 public:
  explicit EmulatedServices(ControllerModel& model) : model_(model) {}

  HResult ExecQuery(const std::u16string& language, const std::u16string& query, std::int32_t flags,
                    std::unique_ptr<WbemEnumerator>& result) override {
    model_.log.push_back("ExecQuery " + ToUtf8(language) + " " + ToUtf8(query) + " " + std::to_string(flags));
    if (model_.Has(Fault::kQueryFails)) return kFailed;
    result =
        std::make_unique<EmulatedEnumerator>(model_, model_.ControllerPresent() && !model_.Has(Fault::kNoInstance));
    return kOk;
  }
  HResult GetClassObject(const std::u16string& path, std::unique_ptr<WbemObject>& object) override {
    if (model_.Has(Fault::kNoClass) || path != u"SdkTbtController") return kNotFound;
    object = std::make_unique<EmulatedObject>(model_);
    return kOk;
  }
  HResult ExecMethod(const std::u16string& objectPath, const std::u16string& method, WbemObject* inParams,
                     std::unique_ptr<WbemObject>& outParams) override {
    const std::string name = ToUtf8(method);
    std::map<std::u16string, WbemValue> in;
    if (inParams != nullptr) in = static_cast<EmulatedObject*>(inParams)->values();
    std::string line = "ExecMethod " + name;
    if (name == "ReadFirmware") {
      char args[40];
      std::snprintf(args, sizeof args, " 0x%X %d", static_cast<unsigned>(in[u"offset"].int32), in[u"length"].int32);
      line += args;
    }
    model_.log.push_back(line);
    if (model_.Has(Fault::kExecFails) || objectPath != ExpectedPath(model_) || !model_.ControllerPresent()) {
      return kFailed;
    }
    if (model_.Has(Fault::kNoOutParams)) return kOk;
    std::map<std::u16string, WbemValue> out;
    const auto returnValue = model_.returnValues.count(name) ? model_.returnValues.at(name) : 0u;
    if (!model_.Has(Fault::kNoReturnValue))
      out[u"ReturnValue"] = WbemValue::Int32(static_cast<std::int32_t>(returnValue));
    if (name == "GetCurrentNvmVersion" && !model_.Has(Fault::kNoNvmVersion)) {
      out[u"NvmVersion"] = WbemValue::Int32(static_cast<std::int32_t>(model_.nvmVersion));
    } else if (name == "ReadFirmware" && !model_.Has(Fault::kNoData)) {
      const auto offset = static_cast<std::uint32_t>(in[u"offset"].int32);
      const auto length = static_cast<std::uint32_t>(in[u"length"].int32);
      std::vector<std::uint8_t> data(length, 0xFF);  // erased flash past the region's end
      for (std::uint32_t i = 0; i < length; ++i) {
        if (std::uint64_t{offset} + i < model_.region.size()) data[i] = model_.region[offset + i];
      }
      out[u"data"] = WbemValue::Bytes(std::move(data));
    } else if (name == "UpdateFirmware" && returnValue == 0) {
      // Flash is slow: the call blocks as long as the scenario says.
      std::this_thread::sleep_for(std::chrono::milliseconds(model_.updateMilliseconds));
      const WbemValue& buffer = in[u"Buffer"];
      if (buffer.type == WbemValue::Type::kBytes && in[u"BufferSize"].type == WbemValue::Type::kInt32 &&
          in[u"BufferSize"].int32 == static_cast<std::int32_t>(buffer.bytes.size())) {
        model_.writtenImages.push_back(buffer.bytes);
      }
    }
    ApplyReplies(model_, name, out);
    outParams = std::make_unique<EmulatedObject>(model_, std::move(out));
    return kOk;
  }

 private:
  ControllerModel& model_;
};

class EmulatedLocator final : public WbemLocator {
 public:
  explicit EmulatedLocator(ControllerModel& model) : model_(model) {}
  HResult ConnectServer(const std::u16string& resource, std::unique_ptr<WbemServices>& services) override {
    model_.log.push_back("ConnectServer " + ToUtf8(resource));
    if (model_.Has(Fault::kNoNamespace) || !model_.ProviderUp() || resource != u"ROOT\\Intel\\Thunderbolt") {
      return kInvalidNamespace;
    }
    services = std::make_unique<EmulatedServices>(model_);
    return kOk;
  }

 private:
  ControllerModel& model_;
};

}  // namespace

std::unique_ptr<WbemLocator> CreateEmulatedLocator(ControllerModel& model) {
  return std::make_unique<EmulatedLocator>(model);
}

HResult EmulatedComRuntime::Initialize() {
  model_.log.push_back("CoInitialize");
  return kOk;
}

void EmulatedComRuntime::Uninitialize() { model_.log.push_back("CoUninitialize"); }

HResult EmulatedComRuntime::CreateLocator(std::unique_ptr<WbemLocator>& locator) {
  // What CoCreateInstance gives where the WMI service is disabled.
  if (model_.Has(Fault::kNoLocator)) return kServiceDisabled;
  locator = CreateEmulatedLocator(model_);
  return kOk;
}
