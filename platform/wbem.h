// The part of WMI the controller client uses, in the shape it uses it. On Windows the
// adapter wraps IWbemLocator, IWbemServices, IEnumWbemClassObject and IWbemClassObject;
// tests use an emulated provider. Objects are owned by unique_ptr: dropping one releases
// the interface behind it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

using HResult = std::int32_t;
inline constexpr HResult kOk = 0;                                               // S_OK
inline constexpr HResult kFalse = 1;                                            // S_FALSE: succeeded, nothing returned
inline constexpr HResult kNotFound = static_cast<HResult>(0x80041002);          // WBEM_E_NOT_FOUND
inline constexpr HResult kInvalidNamespace = static_cast<HResult>(0x8004100E);  // WBEM_E_INVALID_NAMESPACE
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);       // E_OUTOFMEMORY
inline constexpr HResult kFailed = static_cast<HResult>(0x80004005);            // E_FAIL

inline bool Succeeded(HResult hr) { return hr >= 0; }

// A VARIANT reduced to the types the client reads and writes. kNull is VT_NULL, what WMI
// gives for an out-parameter the provider never set; kOther is any type the client has no
// use for.
struct WbemValue {
  enum class Type { kEmpty, kNull, kInt32, kString, kBytes, kOther };
  Type type = Type::kEmpty;
  std::int32_t int32 = 0;
  std::u16string string;
  std::vector<std::uint8_t> bytes;
  // For an in-parameter: bytes the caller holds, in place of `bytes`. Put copies them into
  // the object at once, so they need to live only as long as the Put.
  std::span<const std::uint8_t> borrowed;

  // The bytes of a kBytes value, wherever they are held.
  std::span<const std::uint8_t> ByteSpan() const {
    return borrowed.empty() ? std::span<const std::uint8_t>(bytes) : borrowed;
  }

  static WbemValue Of(Type type) {
    WbemValue value;
    value.type = type;
    return value;
  }
  static WbemValue Int32(std::int32_t v) {
    WbemValue value = Of(Type::kInt32);
    value.int32 = v;
    return value;
  }
  static WbemValue String(std::u16string v) {
    WbemValue value = Of(Type::kString);
    value.string = std::move(v);
    return value;
  }
  static WbemValue Bytes(std::vector<std::uint8_t> v) {
    WbemValue value = Of(Type::kBytes);
    value.bytes = std::move(v);
    return value;
  }
  static WbemValue BorrowedBytes(std::span<const std::uint8_t> v) {
    WbemValue value = Of(Type::kBytes);
    value.borrowed = v;
    return value;
  }
};

class WbemObject {
 public:
  virtual ~WbemObject() = default;
  virtual HResult Get(const std::u16string& name, WbemValue& value) = 0;
  virtual HResult Put(const std::u16string& name, const WbemValue& value) = 0;
  // The method's in-parameter signature when `wantInSignature`; the pointer stays empty for
  // a method without in-parameters.
  virtual HResult GetMethod(const std::u16string& name, bool wantInSignature,
                            std::unique_ptr<WbemObject>& inSignature) = 0;
  virtual HResult SpawnInstance(std::unique_ptr<WbemObject>& instance) = 0;
};

class WbemEnumerator {
 public:
  virtual ~WbemEnumerator() = default;
  // The next object, waiting as long as it takes; S_FALSE with no object at the end.
  virtual HResult Next(std::unique_ptr<WbemObject>& object) = 0;
};

class WbemServices {
 public:
  virtual ~WbemServices() = default;
  virtual HResult ExecQuery(const std::u16string& language, const std::u16string& query, std::int32_t flags,
                            std::unique_ptr<WbemEnumerator>& result) = 0;
  virtual HResult GetClassObject(const std::u16string& path, std::unique_ptr<WbemObject>& object) = 0;
  virtual HResult ExecMethod(const std::u16string& objectPath, const std::u16string& method, WbemObject* inParams,
                             std::unique_ptr<WbemObject>& outParams) = 0;
};

class WbemLocator {
 public:
  virtual ~WbemLocator() = default;
  virtual HResult ConnectServer(const std::u16string& resource, std::unique_ptr<WbemServices>& services) = 0;
};
