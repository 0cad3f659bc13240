// GDI+ for the skinned toolkit: the C++ wrapper on top of <windows.h>.
#pragma once

#include <windows.h>
#include <objidl.h>

// The wrapper uses min and max, which NOMINMAX keeps out of <windows.h>.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
