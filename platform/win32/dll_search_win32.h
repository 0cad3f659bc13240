// Where the program loads system DLLs from: System32 only, never the program's own folder
// or the current folder, where a planted copy of a system DLL could be waiting.
#pragma once

#include <windows.h>

// Makes System32 the only folder searched when a DLL is loaded by name. Call it first
// thing in the program. Returns false where the system lacks the call (Windows 7 without
// its loader update); the current folder is then at least taken out of the search.
bool RestrictDllSearchToSystem32();

// Loads the DLL called `name` from System32 only (LOAD_LIBRARY_SEARCH_SYSTEM32 where the
// loader understands it, else by its full path), so no other copy can be taken whatever
// the search order. Returns null when it is not there, or when a "<program>.local" has
// appeared beside the program (it would redirect the load); the caller frees the module with
// FreeLibrary. Programs linking this file also get a delay-load hook that takes every
// delay-imported DLL from here.
HMODULE LoadSystemLibrary(const wchar_t* name);
