#pragma once

namespace vorn::platform {

/// Standard streams, for IsTerminal.
enum class Stream { kOutput = 1, kError = 2 };

/// Whether a standard stream is a terminal (progress is drawn only there).
bool IsTerminal(Stream stream);

/// From now on SIGINT and SIGTERM only raise a flag that StopRequested
/// reads, so a pass can end at its next yield point instead of dying.
void CatchStopSignals();

/// Whether SIGINT or SIGTERM arrived since CatchStopSignals or the last
/// ClearStopRequest.
bool StopRequested();
void ClearStopRequest();

}  // namespace vorn::platform
