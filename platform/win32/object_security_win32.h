// A file's or folder's owner and access list, read from the system into the portable form
// the package-trust rule reads (platform/object_security.h).
#pragma once

#include <windows.h>

#include <string>

#include "platform/object_security.h"

// Reads the object at `path` without following a link at its name. False when it cannot
// be opened or its security cannot be read; `error` then holds the system's code
// (ERROR_FILE_NOT_FOUND for an object that is not there).
bool ReadObjectSecurity(const std::wstring& path, ObjectSecurity& security, DWORD& error);

// The same for an object already open, with READ_CONTROL.
bool ReadObjectSecurityOf(HANDLE object, ObjectSecurity& security, DWORD& error);
