#include "platform/win32/variant_convert.h"

#include <cstring>

#include "platform/win32/com_owners.h"
#include "platform/win32/wide.h"

namespace {

// Runs `use` on the array's elements, locked in place for it: one copy in or out instead
// of one call per element. False when the array cannot be locked or unlocked.
template <typename Use>
bool WithElements(SAFEARRAY* array, Use use) {
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data)) || data == nullptr) return false;
  use(static_cast<BYTE*>(data));
  return SUCCEEDED(SafeArrayUnaccessData(array));
}

// A one-dimensional byte array from index 0, as the client's byte parameters are; kOther
// for any other shape or an array that cannot be read.
WbemValue FromByteArray(SAFEARRAY* array) {
  LONG lower = 0, upper = -1;
  if (array == nullptr || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1 ||
      FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)) || lower != 0 ||
      upper < -1) {
    return WbemValue::Of(WbemValue::Type::kOther);
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(static_cast<long long>(upper) + 1));
  if (!bytes.empty() &&
      !WithElements(array, [&](const BYTE* data) { std::memcpy(bytes.data(), data, bytes.size()); })) {
    return WbemValue::Of(WbemValue::Type::kOther);
  }
  return WbemValue::Bytes(std::move(bytes));
}

}  // namespace

WbemValue FromVariant(VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_EMPTY: return {};
    case VT_NULL: return WbemValue::Of(WbemValue::Type::kNull);
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT: return WbemValue::Int32(V_I4(&v));
    // Narrower integers widen as their type says: signed ones keep their sign.
    case VT_I2: return WbemValue::Int32(V_I2(&v));
    case VT_UI2: return WbemValue::Int32(V_UI2(&v));
    case VT_I1: return WbemValue::Int32(V_I1(&v));
    case VT_UI1: return WbemValue::Int32(V_UI1(&v));
    case VT_BSTR: return WbemValue::String(V_BSTR(&v) != nullptr ? AsUtf16(V_BSTR(&v)) : u"");
    case VT_ARRAY | VT_UI1: return FromByteArray(V_ARRAY(&v));
    default: return WbemValue::Of(WbemValue::Type::kOther);
  }
}

bool ToVariant(const WbemValue& value, VARIANT& v) {
  switch (value.type) {
    case WbemValue::Type::kEmpty: V_VT(&v) = VT_EMPTY; return true;
    case WbemValue::Type::kInt32:
      V_VT(&v) = VT_I4;
      V_I4(&v) = value.int32;
      return true;
    case WbemValue::Type::kString: {
      BSTR text = SysAllocString(AsWide(value.string.c_str()));
      if (text == nullptr) return false;
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = text;
      return true;
    }
    case WbemValue::Type::kBytes: {
      const std::span<const std::uint8_t> bytes = value.ByteSpan();
      if (bytes.size() > MAXLONG) return false;
      SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), 0};
      UniqueSafeArray array(SafeArrayCreate(VT_UI1, 1, &bound));
      if (!array) return false;
      if (!bytes.empty() &&
          !WithElements(array.get(), [&](BYTE* data) { std::memcpy(data, bytes.data(), bytes.size()); })) {
        return false;
      }
      V_VT(&v) = VT_ARRAY | VT_UI1;
      V_ARRAY(&v) = array.release();  // owned by the VARIANT from here on
      return true;
    }
    case WbemValue::Type::kNull:
    case WbemValue::Type::kOther: break;
  }
  V_VT(&v) = VT_NULL;
  return true;
}
