// The package the tool runs from, checked before anything else is done: its folder, the
// data folder, Update.ini and every image the run could take.
#pragma once

#include <string>

// Empty when no one but SYSTEM, the Administrators, TrustedInstaller and the running
// account can change any of them; otherwise the first that others can change and who,
// for the log ("C:\Temp\pkg\data: Everyone (S-1-1-0) may change it"). An object whose
// security cannot be read counts as changeable; one that is not there is not used. A
// program pinned to its texts also refuses an Update.ini of another digest.
std::string UntrustedPackagePart();
