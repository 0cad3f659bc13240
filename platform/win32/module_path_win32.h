// The running executable's full path.
#pragma once

#include <string>

// Empty when the system cannot give it, or it would not fit in kPathCapacity - 1 units:
// a cut-off path would name another folder.
std::u16string ModulePath();
