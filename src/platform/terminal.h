#pragma once

namespace vorn::platform {

/// Standard streams, for IsTerminal.
enum class Stream { kOutput = 1, kError = 2 };

/// Whether a standard stream is a terminal (progress is drawn only there).
bool IsTerminal(Stream stream);

/// The width of the terminal a stream shows on, in columns; 0 when unknown.
int TerminalColumns(Stream stream);

}  // namespace vorn::platform
