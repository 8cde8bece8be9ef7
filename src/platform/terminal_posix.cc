#include <unistd.h>

#include "platform/terminal.h"

namespace vorn::platform {

bool IsTerminal(Stream stream) {
  return ::isatty(static_cast<int>(stream)) == 1;
}

}  // namespace vorn::platform
