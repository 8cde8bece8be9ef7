#pragma once

#include <string>
#include <vector>

namespace vorn::platform {

/// Runs `command` with /bin/sh -c in a process of its own that is never
/// waited for: it is detached (new session, standard streams on /dev/null)
/// and reparented at once, so it leaves no zombie behind however long it
/// runs. Where the command does not exist nothing visible happens.
void StartDetachedShellCommand(const std::string& command);

/// Runs a program (looked up on PATH) with its arguments and waits for it,
/// its output discarded. Returns its exit status, or -1 when it could not
/// run or was killed.
int RunAndWait(const std::vector<std::string>& argv);

}  // namespace vorn::platform
