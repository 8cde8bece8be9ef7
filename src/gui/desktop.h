#pragma once

#include "runtime/command_line.h"

namespace vorn::gui {

/// The desktop program: the main window, its start-up and its event loop.
/// Returns the process's exit status.
int RunDesktop(int& argc, char** argv, const ProgramOptions& options);

}  // namespace vorn::gui
