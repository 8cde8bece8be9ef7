#pragma once

#include <string>
#include <vector>

namespace vorn {

/// The tray icon's states.
enum class TrayState {
  kStopped,    ///< product icon, tip without suffix
  kMirroring,  ///< a pass runs
  kWaiting,    ///< between passes while mirroring runs
};

/// What a pass shows to the people around it: the window and tray in the
/// desktop program, the terminal without a window, a recorder in tests. The
/// engine calls nothing else that reaches a user.
class PassDisplay {
 public:
  virtual ~PassDisplay() = default;

  /// The one-second tick (off during every pass).
  virtual void SetTimerEnabled(bool enabled) = 0;
  /// The wait progress bar.
  virtual void SetWaitProgress(int value) = 0;
  /// The copy progress bar: its maximum (minimum 0) and its value.
  virtual void SetCopyProgressMaximum(int maximum) = 0;
  virtual void SetCopyProgress(int value) = 0;
  /// The status label beside the start button ("3/12" during a pass),
  /// repainted at once.
  virtual void ShowPassPosition(const std::string& text) = 0;
  /// The tray icon's state and tip.
  virtual void SetTray(TrayState state, const std::string& tip) = 0;
  /// The two summary lines, joined by CR LF.
  virtual void ShowSummary(const std::string& text) = 0;
  /// The files found locked by the pass that just ended, sorted.
  virtual void ShowLockedFiles(const std::vector<std::string>& locked) = 0;
  /// The pass is over: refresh the folder listings when they are shown
  /// (the target listing only when `target_changed`).
  virtual void RefreshFileLists(bool target_changed) = 0;
  /// Shows a text in the message window without waiting.
  virtual void ShowMessageWindow(const std::string& text) = 0;
  /// The system beep.
  virtual void Beep() = 0;
};

/// How a pass lets the program breathe and learns that it must stop: the
/// scheduler in the program, a script in tests.
class PassControl {
 public:
  virtual ~PassControl() = default;

  /// A yield point: let pending events run (`Performance` turns of the event
  /// loop, or pending signals), so a stop request can set Idle.
  virtual void Yield() = 0;
  /// Mirroring is stopped, or a stop was asked for.
  virtual bool Idle() const = 0;
};

}  // namespace vorn
