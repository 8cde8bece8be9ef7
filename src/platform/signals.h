#pragma once

namespace vorn::platform {

/// Signals a run without a window reacts to.
enum class ProcessSignal {
  kStop,      ///< SIGINT or SIGTERM: stop mirroring and end
  kPause,     ///< SIGTSTP: the service is paused (only noted)
  kContinue,  ///< SIGCONT: the service continues (only noted)
  kReload,    ///< SIGHUP: read the settings and pairs again between passes
};

/// From now on SIGINT and SIGTERM, and with `pause_and_continue` SIGTSTP and
/// SIGCONT, only raise flags read below, so a pass ends at its next yield
/// point instead of dying (and a pause does not suspend the process).
void CatchProcessSignals(bool pause_and_continue);

/// From now on SIGHUP only raises the reload flag instead of ending the
/// process; for the runs that mirror on a schedule, which can read their
/// files again between two passes.
void CatchReloadSignal();

/// Whether the signal arrived since the last call for it; clears it.
bool TakeSignal(ProcessSignal signal);
/// Whether SIGINT or SIGTERM arrived; does not clear it.
bool StopRequested();
/// Forgets signals that arrived (for tests).
void ClearSignals();

}  // namespace vorn::platform
