// tbtfw-check: answers, for support engineers, what the update tool would do with given
// arguments, texts and outcomes. Platform entry points convert arguments and output.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/profile_strings.h"

struct CheckEnvironment {
  std::uint16_t uiLanguage;  // the system's user-interface language
  ProfileStrings& profile;
  // Turns a path given on the command line into the one the profile reader needs.
  std::function<std::u16string(const std::u16string&)> resolvePath;
  // Runs a program found on the search path with these arguments (the program's name
  // first) and waits for it: its exit status, or -1 when it could not be started.
  std::function<int(const std::vector<std::u16string>&)> runProgram;
  // Makes a new file at the path with these bytes: false when anything is there already
  // (a link among them) or it cannot be written whole.
  std::function<bool(const std::u16string&, const std::string&)> writeNewFile;
};

// Runs one command. `out` receives the UTF-8 result lines, `err` the UTF-8 diagnostics.
// Returns the process exit status: 0 on success, 2 for wrong arguments.
int RunCheck(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err);
