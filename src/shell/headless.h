#pragma once

#include "shell/command_line.h"

namespace vorn {

/// `vorn --once`: start-up without a window, one pass over every enabled
/// pair as the start command runs it, the two summary lines on standard
/// output. Returns the process's exit status.
int RunOnce(const ProgramOptions& options);

}  // namespace vorn
