#pragma once

#include <string>

namespace vorn::platform {

/// Runs `command` with /bin/sh -c in a process of its own that is never
/// waited for: it is detached (new session, standard streams on /dev/null)
/// and reparented at once, so it leaves no zombie behind however long it
/// runs. Where the command does not exist nothing visible happens.
void StartDetachedShellCommand(const std::string& command);

}  // namespace vorn::platform
