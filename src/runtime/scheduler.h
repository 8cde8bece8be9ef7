#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/mirror_engine.h"
#include "engine/mirror_host.h"
#include "config/folder_pairs.h"
#include "config/mirror_settings.h"
#include "base/system_info.h"

namespace vorn {

/// What the window enables and says for mirroring running or stopped.
struct CommandStates {
  bool mirroring = false;     ///< the start/stop button shows its stop image
  bool pair_editing = false;  ///< the four pair buttons and mnuDossiers
  /// mnuMiroirSousDossiers, mnuEffacement, mnuCopierAttributs, mnuTempo,
  /// mnuLangue, mnuDefinirLogs, mnuPurgeLogs
  bool settings_menus = false;
  bool security_menu = false;  ///< mnuCopierSecurite
  bool service_menu = false;   ///< mnuService
  bool exit_command = false;   ///< mnuQuitter
  std::string button_tooltip;  ///< cmdMiroir
  std::string menu_caption;    ///< mnuDemarrer
  bool operator==(const CommandStates&) const = default;
};

/// What the scheduler asks of the window, or of a run without one. The
/// display calls are those of a pass; the scheduler adds its own.
class SchedulerHost {
 public:
  virtual ~SchedulerHost() = default;

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

  // The display of a pass (see MirrorHost).
  virtual void SetTimerEnabled(bool enabled) = 0;
  virtual void SetWaitProgress(int value) = 0;
  virtual void SetCopyProgressMaximum(int maximum) = 0;
  virtual void SetCopyProgress(int value) = 0;
  virtual void ShowPassPosition(const std::string& text) = 0;
  virtual void SetTray(TrayState state, const std::string& tip) = 0;
  virtual void ShowSummary(const std::string& text) = 0;
  virtual void ShowLockedFiles(const std::vector<std::string>& locked) = 0;
  virtual void RefreshFileLists(bool target_changed) = 0;
  virtual void ShowMessageWindow(const std::string& text) = 0;
  virtual void Beep() = 0;
};

/// The top of the wait progress bar for an interval: 0..Temporisation-1,
/// or 0..1 below 2 seconds.
int WaitProgressMaximum(int16_t temporisation);

/// Decides when passes run: the start/stop command, the one-second tick
/// counting down the default interval, the yield points of a pass and the
/// end of the program after the first pass. A plain object: the window and
/// the run without a window drive it with their own tick and event loop.
class Scheduler {
 public:
  /// `service_mode`: the exit command stays disabled once mirroring stops.
  Scheduler(SchedulerHost& host, MirrorSettings& settings, const SystemInfo& system,
            const std::vector<FolderPair>& pairs, bool service_mode);
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  /// The MirrorHost the engine must be built with: yields and Idle go
  /// through the scheduler, everything shown goes to the host.
  MirrorHost& engine_host() { return engine_host_; }
  void AttachEngine(MirrorEngine& engine) { engine_ = &engine; }

  /// The start/stop command (cmdMiroir and mnuDemarrer).
  void StartStop();
  /// Timer1, every second while the host's timer is enabled.
  void Tick();
  /// Lets pending events run `Performance` times (none below 1).
  void Yield();

  /// Restarts the countdown, as a new default interval does.
  void RestartCountdown() { wait_counter_ = settings_.Temporisation; }
  /// A key pressed in the message window while stop-after-first-pass is
  /// set: the program keeps running (in memory only; the file keeps "1").
  void KeepRunningAfterFirstPass();

  bool Idle() const { return idle_; }
  bool ForceAllPairs() const { return force_all_pairs_; }
  int16_t WaitCounter() const { return wait_counter_; }
  /// The program was ended (stop after the first pass, or the fatal stop).
  bool ended() const { return ended_; }
  /// The states for mirroring running or stopped.
  CommandStates StatesFor(bool mirroring) const;

 private:
  class EngineHost final : public MirrorHost {
   public:
    explicit EngineHost(Scheduler& scheduler) : s_(scheduler) {}
    void Yield() override { s_.Yield(); }
    bool Idle() override { return s_.idle_; }
    void SetTimerEnabled(bool enabled) override { s_.host_.SetTimerEnabled(enabled); }
    void SetWaitProgress(int value) override { s_.host_.SetWaitProgress(value); }
    void SetCopyProgressMaximum(int maximum) override { s_.host_.SetCopyProgressMaximum(maximum); }
    void SetCopyProgress(int value) override { s_.host_.SetCopyProgress(value); }
    void ShowPassPosition(const std::string& text) override { s_.host_.ShowPassPosition(text); }
    void SetTray(TrayState state, const std::string& tip) override { s_.host_.SetTray(state, tip); }
    void ShowSummary(const std::string& text) override { s_.host_.ShowSummary(text); }
    void ShowLockedFiles(const std::vector<std::string>& locked) override {
      s_.host_.ShowLockedFiles(locked);
    }
    void RefreshFileLists(bool target_changed) override {
      s_.host_.RefreshFileLists(target_changed);
    }
    void ShowMessageWindow(const std::string& text) override { s_.host_.ShowMessageWindow(text); }
    void Beep() override { s_.host_.Beep(); }

   private:
    Scheduler& s_;
  };

  void RunPass(PassKind kind);

  SchedulerHost& host_;
  MirrorSettings& settings_;
  const SystemInfo& system_;
  const std::vector<FolderPair>& pairs_;
  bool service_mode_;
  EngineHost engine_host_{*this};
  MirrorEngine* engine_ = nullptr;
  bool idle_ = true;
  bool force_all_pairs_ = false;
  int16_t wait_counter_ = 0;
  bool ended_ = false;
};

}  // namespace vorn
