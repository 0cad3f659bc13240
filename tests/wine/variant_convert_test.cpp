// Values through the system's VARIANT and SAFEARRAY functions and back.
#include "platform/win32/variant_convert.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/com_owners.h"

namespace {

WbemValue RoundTrip(const WbemValue& value, VARTYPE expectedType) {
  Variant v;
  EXPECT_TRUE(ToVariant(value, *v.get()));
  EXPECT_EQ(V_VT(v.get()), expectedType);
  return FromVariant(*v.get());
}

TEST(VariantConvert, ValuesRoundTripAndBytesBecomeAOneDimensionalByteArrayFromZero) {
  EXPECT_EQ(RoundTrip(WbemValue::Int32(-5), VT_I4).int32, -5);
  EXPECT_EQ(RoundTrip(WbemValue::String(u"PCI\\VEN_8086 \u00E9"), VT_BSTR).string, u"PCI\\VEN_8086 \u00E9");
  EXPECT_EQ(RoundTrip(WbemValue::Bytes({}), VT_ARRAY | VT_UI1).bytes.size(), 0u);
  EXPECT_EQ(RoundTrip(WbemValue::Of(WbemValue::Type::kNull), VT_NULL).type, WbemValue::Type::kNull);
  std::vector<std::uint8_t> image(70000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  Variant v;
  ASSERT_TRUE(ToVariant(WbemValue::BorrowedBytes(image), *v.get()));
  ASSERT_EQ(V_VT(v.get()), VT_ARRAY | VT_UI1);
  SAFEARRAY* array = V_ARRAY(v.get());
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 69999);
  EXPECT_EQ(FromVariant(*v.get()).bytes, image);
}

// What a provider may answer in place of the contract's types: integers of every width
// the client widens, and everything else as something the client can tell apart from them.
TEST(VariantConvert, TellsUnsetAndMistypedAnswersFromNumbersAndBytes) {
  auto bytes = [](ULONG count, LONG lower, UINT dims, VARTYPE type) {
    SAFEARRAYBOUND bounds[2] = {{count, lower}, {1, 0}};
    VARIANT v;
    V_VT(&v) = VT_ARRAY | type;
    V_ARRAY(&v) = SafeArrayCreate(type, dims, bounds);
    return v;
  };
  auto scalar = [](VARTYPE type, LONG bits) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    V_I4(&v) = bits;  // the narrower members share its low bytes
    return v;
  };
  struct Case {
    const char* name;
    VARIANT value;
    WbemValue::Type type;
    std::int32_t number;  // kInt32: the value; kBytes: the array's length; else 0
  };
  VARIANT noArray;
  V_VT(&noArray) = VT_ARRAY | VT_UI1;
  V_ARRAY(&noArray) = nullptr;
  Case cases[] = {
      {"null", scalar(VT_NULL, 0), WbemValue::Type::kNull, 0},
      {"empty", scalar(VT_EMPTY, 0), WbemValue::Type::kEmpty, 0},
      {"double", scalar(VT_R8, 0), WbemValue::Type::kOther, 0},
      {"unsigned 32", scalar(VT_UI4, -1), WbemValue::Type::kInt32, -1},
      {"signed 16", scalar(VT_I2, 0xFFFE), WbemValue::Type::kInt32, -2},
      {"unsigned 16", scalar(VT_UI2, 0xFFFE), WbemValue::Type::kInt32, 0xFFFE},
      {"signed 8", scalar(VT_I1, 0x80), WbemValue::Type::kInt32, -128},
      {"unsigned 8", scalar(VT_UI1, 0x80), WbemValue::Type::kInt32, 0x80},
      {"short array", bytes(2, 0, 1, VT_UI1), WbemValue::Type::kBytes, 2},
      {"array from 1", bytes(4, 1, 1, VT_UI1), WbemValue::Type::kOther, 0},
      {"two dimensions", bytes(4, 0, 2, VT_UI1), WbemValue::Type::kOther, 0},
      {"array of words", bytes(4, 0, 1, VT_I4), WbemValue::Type::kOther, 0},
      {"no array", noArray, WbemValue::Type::kOther, 0},
  };
  for (Case& c : cases) {
    const WbemValue got = FromVariant(c.value);
    EXPECT_EQ(got.type, c.type) << c.name;
    const std::int32_t number =
        c.type == WbemValue::Type::kBytes ? static_cast<std::int32_t>(got.bytes.size()) : got.int32;
    EXPECT_EQ(number, c.number) << c.name;
    VariantClear(&c.value);
  }
}

}  // namespace
