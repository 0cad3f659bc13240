// The KEY=VALUE lines of a tbtfw-check command as one JSON object, for scripts that read
// JSON: every value a string, a key given more than once an array of its values in order.
#pragma once

#include <string>

std::string KeyValuesAsJson(const std::string& lines);
