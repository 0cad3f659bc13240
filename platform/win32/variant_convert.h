// VARIANTs to and from the client's values: 32-bit integers, strings and byte arrays.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "platform/wbem.h"

// VT_NULL is kNull; integers of 8 to 32 bits are kInt32; a byte array other than one
// dimension from index 0, or one that cannot be read, is kOther.
WbemValue FromVariant(VARIANT& v);
// Fills an empty `v` from `value`, bytes in one copy; false when the memory for it cannot
// be had or the array cannot be filled, and then `v` stays empty. The
// VARIANT owns what it holds: VariantClear frees the string or the array.
bool ToVariant(const WbemValue& value, VARIANT& v);
