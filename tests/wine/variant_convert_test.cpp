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

TEST(VariantConvert, NumbersAndStringsRoundTrip) {
  EXPECT_EQ(RoundTrip(WbemValue::Int32(-5), VT_I4).int32, -5);
  const WbemValue s = RoundTrip(WbemValue::String(u"PCI\\VEN_8086 \u00E9"), VT_BSTR);
  EXPECT_EQ(s.type, WbemValue::Type::kString);
  EXPECT_EQ(s.string, u"PCI\\VEN_8086 \u00E9");
}

TEST(VariantConvert, BytesBecomeAOneDimensionalByteArrayFromZero) {
  std::vector<std::uint8_t> image(70000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  Variant v;
  ASSERT_TRUE(ToVariant(WbemValue::Bytes(image), *v.get()));
  ASSERT_EQ(V_VT(v.get()), VT_ARRAY | VT_UI1);
  SAFEARRAY* array = V_ARRAY(v.get());
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 69999);
  const WbemValue back = FromVariant(*v.get());
  EXPECT_EQ(back.type, WbemValue::Type::kBytes);
  EXPECT_EQ(back.bytes, image);
  EXPECT_EQ(RoundTrip(WbemValue::Bytes({}), VT_ARRAY | VT_UI1).bytes.size(), 0u);
}

TEST(VariantConvert, OtherTypesAreNeitherNumbersNorStrings) {
  Variant v;
  V_VT(v.get()) = VT_R8;
  V_R8(v.get()) = 1.5;
  EXPECT_EQ(FromVariant(*v.get()).type, WbemValue::Type::kOther);
  Variant empty;
  EXPECT_EQ(FromVariant(*empty.get()).type, WbemValue::Type::kEmpty);
}

}  // namespace
