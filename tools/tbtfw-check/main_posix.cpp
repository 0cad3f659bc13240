// tbtfw-check on POSIX systems: UTF-8 arguments, the portable profile reader, and English
// as the user-interface language.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/profile_file_strings.h"
#include "tools/tbtfw-check/check_command.h"
#include "common/utf8.h"
#include "tools/tbtfw-check/program_search.h"

extern char** environ;

namespace {

int RunProgram(const std::vector<std::u16string>& args) {
  std::vector<std::string> utf8;
  for (const std::u16string& arg : args) utf8.push_back(ToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : utf8) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (argv.size() < 2) return -1;
  // By its absolute path, from the search path's absolute folders only.
  const char* searchPath = std::getenv("PATH");
  const std::optional<std::u16string> program = FindOnSearchPath(
      args[0], FromUtf8(searchPath != nullptr ? searchPath : "/usr/bin:/bin"), u':', u'/',
      [](std::u16string_view folder) { return folder.front() == u'/'; },
      [](const std::u16string& path) { return access(ToUtf8(path).c_str(), X_OK) == 0; });
  if (!program) return -1;
  const std::string path = ToUtf8(*program);
  pid_t child = 0;
  if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  // The shell's convention: 127 when the program could not be executed.
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// A new file only: O_EXCL refuses anything at the name, a link too, dangling or not.
bool WriteNewFile(const std::u16string& path, const std::string& bytes) {
  const int file = open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (file < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(file, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) break;
    done += static_cast<std::size_t>(wrote);
  }
  return close(file) == 0 && done == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  ProfileFileStrings profile;
  CheckEnvironment env{0x0409, profile, [](const std::u16string& path) { return path; }, RunProgram, WriteNewFile};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
