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

/// What happened to one entry in a pass.
enum class PassEventKind {
  kCreated,            ///< a copy of a file the target lacked, or a new target folder
  kModified,           ///< a target file overwritten from its source
  kRemoved,            ///< an obsolete target entry, or a moved source
  kLocked,             ///< a source another program held, not copied
  kFailed,             ///< could not be mirrored; the error says why
  kSecurityChanged,    ///< the access-control list written
  kAttributesChanged,  ///< the permissions changed
  kMissing,            ///< a pair's folder that does not exist (or is no folder)
};

/// Whether an event is about a folder or about anything else.
enum class PassEntry { kFile, kFolder };

/// One entry a pass changed, met locked or missing, or could not mirror.
struct PassEvent {
  PassEventKind kind = PassEventKind::kCreated;
  PassEntry entry = PassEntry::kFile;
  int pair = 0;       ///< the pair (1-based); 0 for a walk outside a pass
  std::string path;   ///< the entry's full path
  std::string error;  ///< why it failed (kFailed only)
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
  /// One entry event, as it happens (the window shows none of them).
  virtual void ReportEntry(const PassEvent&) {}
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
