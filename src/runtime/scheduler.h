#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/mirror_engine.h"
#include "engine/pass_display.h"
#include "config/folder_pairs.h"
#include "config/mirror_settings.h"
#include "base/system_info.h"
#include "platform/change_watcher.h"

namespace vorn {

/// What the window enables and says for mirroring running or stopped.
struct CommandStates {
  bool mirroring = false;     ///< the start/stop button shows its stop image
  bool pair_editing = false;  ///< the four pair buttons and mnuDossiers
  /// mnuMiroirSousDossiers, mnuEffacement, mnuCopierAttributs,
  /// mnuCopierProprietaire, mnuTempo,
  /// mnuLangue, mnuDefinirLogs, mnuPurgeLogs
  bool settings_menus = false;
  bool security_menu = false;  ///< mnuCopierSecurite
  bool service_menu = false;   ///< mnuService
  bool exit_command = false;   ///< mnuQuitter
  std::string button_tooltip;  ///< cmdMiroir
  std::string menu_caption;    ///< mnuDemarrer
  bool operator==(const CommandStates&) const = default;
};

/// What the scheduler asks of the window, or of a run without one, besides
/// showing the passes it runs.
class SchedulerHost : public PassDisplay {
 public:
  /// One turn of the event loop (a run without a window reads its signals).
  virtual void ProcessPendingEvents() = 0;
  virtual void ApplyCommandStates(const CommandStates& states) = 0;
  /// Empties the status label under the grid.
  virtual void ClearStatusMessage() = 0;
  /// When the main window is minimised: back to normal, in front, focused.
  virtual void RestoreMainWindow() = 0;
  /// Removes the tray icon and ends the process with `exit_code`.
  virtual void EndProgram(int exit_code) = 0;
  /// Closes the message window (after the key press that keeps the program running).
  virtual void CloseMessageWindow() = 0;
};

/// The top of the wait progress bar for an interval: 0..Temporisation-1,
/// or 0..1 below 2 seconds.
int WaitProgressMaximum(int16_t temporisation);

/// Decides when passes run: the start/stop command, the one-second tick
/// counting down the default interval, changes in the sources that bring
/// the next timed pass forward, the yield points of a pass and the end of
/// the program after the first pass. A plain object: the window and
/// the run without a window drive it with their own tick and event loop.
/// It is the pass's control: a pass yields through it and stops when it is
/// idle.
class Scheduler final : public PassControl {
 public:
  /// `service_mode`: the exit command stays disabled once mirroring stops.
  Scheduler(SchedulerHost& host, MirrorSettings& settings, const SystemInfo& system,
            const std::vector<FolderPair>& pairs, bool service_mode);
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  void AttachEngine(MirrorEngine& engine) { engine_ = &engine; }
  /// Where changes in the sources are seen; without one only the tick
  /// starts timed passes.
  void AttachWatcher(platform::ChangeWatcher& watcher) { watcher_ = &watcher; }

  /// The start/stop command (cmdMiroir and mnuDemarrer).
  void StartStop();
  /// Timer1, every second while the host's timer is enabled.
  void Tick();
  /// Lets pending events run `Performance` times (none below 1).
  void Yield() override;

  /// Reads the watcher between passes: once the latest change in a source
  /// has been quiet for WatchQuiet seconds, the countdown is over and the
  /// next Tick runs the timed pass. Milliseconds until it is worth asking
  /// again: 0 while folders still wait for their watch, the rest of the
  /// quiet time while a change waits, else -1 (the next change or tick).
  /// The tick asks too.
  int WatchChanges();
  /// Whether WatchChanges ended the countdown early; the pass clears it.
  bool EarlyPassDue() const { return early_pass_due_; }
  /// Watches the sources of the enabled pairs while mirroring runs and
  /// WatchQuiet is on, nothing otherwise; for a reload that changed them.
  void RearmWatcher();

  /// Restarts the countdown, as a new default interval does.
  void RestartCountdown() { wait_counter_ = settings_.Temporisation; }
  /// A key pressed in the message window while stop-after-first-pass is
  /// set: the program keeps running (in memory only; the file keeps "1").
  void KeepRunningAfterFirstPass();

  bool Idle() const override { return idle_; }
  int16_t WaitCounter() const { return wait_counter_; }
  /// The states for mirroring running or stopped.
  CommandStates StatesFor(bool mirroring) const;

 private:
  void RunPass(PassKind kind);
  void ReportUnwatched(const std::vector<platform::UnwatchedTree>& trees);

  SchedulerHost& host_;
  MirrorSettings& settings_;
  const SystemInfo& system_;
  const std::vector<FolderPair>& pairs_;
  bool service_mode_;
  MirrorEngine* engine_ = nullptr;
  platform::ChangeWatcher* watcher_ = nullptr;
  bool idle_ = true;
  bool in_pass_ = false;
  bool change_waits_ = false;  ///< a change seen since the last pass
  bool early_pass_due_ = false;
  int64_t last_change_ms_ = 0;
  int16_t wait_counter_ = 0;
  bool ended_ = false;
};

}  // namespace vorn
