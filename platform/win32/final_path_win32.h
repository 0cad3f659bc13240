// What a handle really reaches: its final path, with every symbolic link, junction and
// mount point on the way resolved, compared with a path asked for.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// `path` without a "\\?\" prefix, and "\\?\UNC\server\..." as "\\server\...".
std::wstring WithoutLongPrefix(std::wstring_view path);

// The handle's final path in that form; empty when the system cannot give it.
std::wstring FinalPathOf(HANDLE handle);

// Whether two paths in that form name the same place (case does not matter).
bool SamePath(std::wstring_view a, std::wstring_view b);
