// What the program does about its own loading before it does anything else: the process
// mitigation policies it can turn on, and the ".local" folder it refuses to run beside.
#pragma once

// Turns on, where the system has them, the image-load policy (System32 first, no images
// from remote or low-integrity files) and the redirection trust policy (no junction made by
// a non-administrator is followed). A system without them is left as it is. Not the
// Microsoft-signed-only image policy: it refuses input methods and assistive technology.
// Returns how many of the two policies are on.
int ApplyProcessMitigations();

// Whether "<program>.local" exists beside the running program (file or folder). Through it
// the loader can take DLLs from beside the program in place of the system's; an elevated
// program must not run then. True too when the program's path cannot be had.
bool DotLocalBesideProgram();
