#pragma once

#include "runtime/command_line.h"

namespace vorn {

/// `vorn pair ...` and `vorn config ...`: the pairs and the global settings
/// read and edited from a shell, by the window's own rules. Returns the
/// process's exit status: 0 done, 1 refused (nothing written), 2 the
/// application folder could not be used.
int RunShellCommand(const ProgramOptions& options);

}  // namespace vorn
