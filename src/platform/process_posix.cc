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

}  // namespace vorn::platform
