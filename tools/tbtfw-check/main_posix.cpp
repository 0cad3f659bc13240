// tbtfw-check on POSIX systems: UTF-8 arguments, the portable profile reader, and English
// as the user-interface language.
#include <cstdio>
#include <string>
#include <vector>

#include "skin/profile_file_strings.h"
#include "tools/tbtfw-check/check_command.h"
#include "common/utf8.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  ProfileFileStrings profile;
  CheckEnvironment env{0x0409, profile, [](const std::u16string& path) { return path; }};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
