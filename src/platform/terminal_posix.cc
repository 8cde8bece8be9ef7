#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/terminal.h"

namespace vorn::platform {

bool IsTerminal(Stream stream) {
  return ::isatty(static_cast<int>(stream)) == 1;
}

int TerminalColumns(Stream stream) {
  struct winsize size {};
  if (::ioctl(static_cast<int>(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace vorn::platform
