// tbtfw-check validate: whether an image would pass validation on a controller whose
// active region is a dump file, and if not, why.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tbtfw-check/check_command.h"

// args[0] is "validate". Output: "status=0x%08X" first, then what it means. Returns 0 when
// the image passes, 1 when it is refused, 2 for wrong arguments, 3 for an unreadable file.
int RunValidate(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err);

// Reads a whole image or dump of at most 64 MiB. False, with `problem` saying why, when
// the path names no readable regular file or one too large.
bool ReadImageFile(const std::u16string& path, std::vector<std::uint8_t>& bytes, std::string& problem);
