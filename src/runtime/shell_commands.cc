#include "runtime/shell_commands.h"

#include <cstdio>

#include "base/constants.h"

namespace vorn {

int RunShellCommand(const ProgramOptions&) {
  std::fputs("vorn: the pair and config commands are not available yet\n", stderr);
  return kExitBadOptions;
}

}  // namespace vorn
