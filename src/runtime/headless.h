#pragma once

#include "runtime/command_line.h"

namespace vorn {

/// The runs without a window: `--once` (one pass as the start command runs
/// it), `--headless` and `--service` (mirroring on the schedule until
/// SIGINT or SIGTERM). Start-up is the desktop program's, nothing is drawn.
/// Returns the process's exit status.
int RunWithoutWindow(const ProgramOptions& options);

/// `--install-service` and `--remove-service`: the service dialog's install
/// and remove, with its texts on standard output. 0 when done, 1 when the
/// service already was (or was not) installed.
int AdministerService(const ProgramOptions& options);

}  // namespace vorn
