// The COM/WMI adapter against the system's own WMI: the controller's namespace is missing
// here, and the system's registry provider exercises queries and method calls with in- and
// out-parameters, strings and numbers. (It has no method that takes or returns bytes: the
// conversion of byte arrays is tested on its own.)
#include "platform/win32/wmi_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Wmi : public ::testing::Test {
 protected:
  void SetUp() override { com_.Initialize(); }
  void TearDown() override { com_.Uninitialize(); }

  std::unique_ptr<WbemServices> Connect(const std::u16string& resource) {
    std::unique_ptr<WbemLocator> locator;
    EXPECT_EQ(com_.CreateLocator(locator), kOk);
    EXPECT_TRUE(locator);
    std::unique_ptr<WbemServices> services;
    if (locator) locator->ConnectServer(resource, services);
    return services;
  }

  // Runs a method of the registry provider with the given in-parameters.
  HResult CallRegistry(WbemServices& services, const std::u16string& method,
                       const std::vector<std::pair<std::u16string, WbemValue>>& in, std::unique_ptr<WbemObject>& out) {
    std::unique_ptr<WbemObject> cls, signature, params;
    HResult hr = services.GetClassObject(u"StdRegProv", cls);
    if (!Succeeded(hr) || !cls) return hr;
    hr = cls->GetMethod(method, true, signature);
    if (!Succeeded(hr) || !signature) {
      ADD_FAILURE() << "GetMethod 0x" << std::hex << hr;
      return kFailed;
    }
    if (hr = signature->SpawnInstance(params); !Succeeded(hr) || !params) return hr;
    for (const auto& [name, value] : in)
      EXPECT_EQ(params->Put(name, value), kOk) << std::string(name.begin(), name.end());
    return services.ExecMethod(u"StdRegProv", method, params.get(), out);
  }

  Win32ComRuntime com_;
};

constexpr std::int32_t kCurrentUser = static_cast<std::int32_t>(0x80000001);

TEST_F(Wmi, TheControllerNamespaceIsMissingHere) {
  std::unique_ptr<WbemServices> services;
  std::unique_ptr<WbemLocator> locator;
  ASSERT_EQ(com_.CreateLocator(locator), kOk);
  ASSERT_TRUE(locator);
  EXPECT_FALSE(Succeeded(locator->ConnectServer(u"ROOT\\Intel\\Thunderbolt", services)));
  EXPECT_FALSE(services);
}

TEST_F(Wmi, QueriesReturnInstancesWithStrings) {
  std::unique_ptr<WbemServices> services = Connect(u"ROOT\\CIMV2");
  ASSERT_TRUE(services);
  std::unique_ptr<WbemEnumerator> result;
  ASSERT_EQ(services->ExecQuery(u"WQL", u"select * from Win32_OperatingSystem", 0x30, result), kOk);
  std::unique_ptr<WbemObject> first;
  ASSERT_EQ(result->Next(first), kOk);
  ASSERT_TRUE(first);
  WbemValue caption;
  ASSERT_EQ(first->Get(u"Caption", caption), kOk);
  EXPECT_EQ(caption.type, WbemValue::Type::kString);
  EXPECT_FALSE(caption.string.empty());
  std::unique_ptr<WbemObject> none;
  EXPECT_EQ(result->Next(none), kFalse);  // one operating system
  EXPECT_FALSE(none);
}

TEST_F(Wmi, MethodsTakeAndReturnNumbersAndStrings) {
  std::unique_ptr<WbemServices> services = Connect(u"ROOT\\CIMV2");
  ASSERT_TRUE(services);
  const std::u16string key = u"Software\\TbtFwUpdateTest";
  std::unique_ptr<WbemObject> out;
  ASSERT_EQ(CallRegistry(*services, u"CreateKey",
                         {{u"hDefKey", WbemValue::Int32(kCurrentUser)}, {u"sSubKeyName", WbemValue::String(key)}}, out),
            kOk);
  ASSERT_EQ(CallRegistry(*services, u"SetStringValue",
                         {{u"hDefKey", WbemValue::Int32(kCurrentUser)},
                          {u"sSubKeyName", WbemValue::String(key)},
                          {u"sValueName", WbemValue::String(u"Name")},
                          {u"sValue", WbemValue::String(u"Vanto \u00E9")}},
                         out),
            kOk);
  ASSERT_TRUE(out);
  WbemValue returnValue;
  ASSERT_EQ(out->Get(u"ReturnValue", returnValue), kOk);
  // A zero of another type (an empty variant reads as 0 too) is no answer.
  EXPECT_EQ(returnValue.type, WbemValue::Type::kInt32);
  EXPECT_EQ(returnValue.int32, 0);

  ASSERT_EQ(CallRegistry(*services, u"GetStringValue",
                         {{u"hDefKey", WbemValue::Int32(kCurrentUser)},
                          {u"sSubKeyName", WbemValue::String(key)},
                          {u"sValueName", WbemValue::String(u"Name")}},
                         out),
            kOk);
  WbemValue value;
  ASSERT_EQ(out->Get(u"sValue", value), kOk);
  EXPECT_EQ(value.string, u"Vanto \u00E9");
}

}  // namespace
