// tbtfw-check on POSIX systems: UTF-8 arguments, the portable profile reader, and English
// as the user-interface language.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/profile_file_strings.h"
#include "tools/tbtfw-check/check_command.h"
#include "common/utf8.h"

extern char** environ;

namespace {

int RunProgram(const std::vector<std::u16string>& args) {
  std::vector<std::string> utf8;
  for (const std::u16string& arg : args) utf8.push_back(ToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : utf8) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (argv.size() < 2 || posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  // The shell's convention: 127 when the program could not be executed.
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  ProfileFileStrings profile;
  CheckEnvironment env{0x0409, profile, [](const std::u16string& path) { return path; }, RunProgram};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
