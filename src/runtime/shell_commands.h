#pragma once

#include <string>

#include "platform/file_system.h"
#include "runtime/command_line.h"
#include "runtime/startup.h"

namespace vorn {

/// `vorn pair ...` and `vorn config ...`: the pairs and the global settings
/// read and edited from a shell, by the window's own rules. Returns the
/// process's exit status: 0 done, 1 refused (nothing written), 2 the
/// application folder could not be used.
int RunShellCommand(const ProgramOptions& options);

/// The application folder `home` (see ResolveApplicationFolder) with its
/// settings and pairs, as the commands read it: no instance lock, no window,
/// nothing written. Returns why the folder cannot be used (a configuration
/// or pairs file that exists but cannot be read, a damaged pairs file);
/// empty when `app` is filled.
std::string LoadApplicationFolder(platform::FileSystem& fs, const std::string& home,
                                  Application& app);

}  // namespace vorn
