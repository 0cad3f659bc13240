// VARIANTs to and from the client's values: 32-bit integers, strings and byte arrays.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "platform/wbem.h"

WbemValue FromVariant(VARIANT& v);
// Fills an empty `v` from `value`; false when the memory for it cannot be had. The
// VARIANT owns what it holds: VariantClear frees the string or the array.
bool ToVariant(const WbemValue& value, VARIANT& v);
