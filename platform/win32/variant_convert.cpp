#include "platform/win32/variant_convert.h"

#include "platform/win32/wide.h"

WbemValue FromVariant(VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
      return WbemValue::Int32(V_I4(&v));
    case VT_BSTR:
      return WbemValue::String(V_BSTR(&v) != nullptr ? AsUtf16(V_BSTR(&v)) : u"");
    case VT_ARRAY | VT_UI1: {
      std::vector<std::uint8_t> bytes;
      SAFEARRAY* array = V_ARRAY(&v);
      LONG lower = 0, upper = -1;
      if (array != nullptr && SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetLBound(array, 1, &lower)) &&
          SUCCEEDED(SafeArrayGetUBound(array, 1, &upper))) {
        for (LONG i = lower; i <= upper; ++i) {
          BYTE b = 0;
          SafeArrayGetElement(array, &i, &b);
          bytes.push_back(b);
        }
      }
      return WbemValue::Bytes(std::move(bytes));
    }
    default: {
      WbemValue other;
      other.type = WbemValue::Type::kOther;
      return other;
    }
  }
}

bool ToVariant(const WbemValue& value, VARIANT& v) {
  switch (value.type) {
    case WbemValue::Type::kInt32:
      V_VT(&v) = VT_I4;
      V_I4(&v) = value.int32;
      return true;
    case WbemValue::Type::kString:
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = SysAllocString(AsWide(value.string.c_str()));
      return V_BSTR(&v) != nullptr;
    case WbemValue::Type::kBytes: {
      SAFEARRAYBOUND bound{static_cast<ULONG>(value.bytes.size()), 0};
      SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
      if (array == nullptr) return false;
      for (LONG i = 0; i < static_cast<LONG>(value.bytes.size()); ++i) {
        BYTE b = value.bytes[static_cast<std::size_t>(i)];
        SafeArrayPutElement(array, &i, &b);
      }
      V_VT(&v) = VT_ARRAY | VT_UI1;
      V_ARRAY(&v) = array;  // owned by the VARIANT from here on
      return true;
    }
    default:
      V_VT(&v) = VT_NULL;
      return true;
  }
}

