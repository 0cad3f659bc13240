// The running executable's full path.
#pragma once

#include <string>

std::u16string ModulePath();
