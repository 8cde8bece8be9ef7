#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

#include "platform/process.h"

namespace vorn::platform {

void StartDetachedShellCommand(const std::string& command) {
  // Everything the children need is prepared before fork: between fork and
  // exec only async-signal-safe calls are allowed (Qt runs threads).
  const char* const argv[] = {"sh", "-c", command.c_str(), nullptr};
  const pid_t middle = ::fork();
  if (middle < 0) return;
  if (middle == 0) {
    // The middle process exits at once so the command is adopted by init
    // (or the nearest subreaper), which reaps it.
    if (::fork() == 0) {
      ::setsid();
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
      }
      ::execv("/bin/sh", const_cast<char* const*>(argv));
      ::_exit(127);
    }
    ::_exit(0);
  }
  int status;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
}

int RunAndWait(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vorn::platform
