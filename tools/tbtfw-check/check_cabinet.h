// tbtfw-check cabinet: the image packed for fwupd and the LVFS, refused when no controller
// would accept it.
#pragma once

#include <string>
#include <vector>

#include "tools/tbtfw-check/check_command.h"

// args[0] is "cabinet". Writes firmware.bin, firmware.metainfo.xml and, with gcab,
// firmware.cab into the --out folder, which must be new or empty and no link; every file
// is made new, never written through a link. Returns 0 when the cabinet is written, 1 when the
// image is refused, 2 for wrong arguments, 3 when a file cannot be read or written, 4 when
// gcab could not make the cabinet (the two files are then in the folder).
int RunCabinet(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err);
