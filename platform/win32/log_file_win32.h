// The run log's file on Windows: opened for appending, created when missing.
#pragma once

#include <memory>
#include <string>

#include "platform/log_file.h"

// Empty when the file cannot be opened or created (a missing folder, a folder's name, no
// right to write).
std::unique_ptr<LogFile> OpenLogFile(const std::u16string& path);
