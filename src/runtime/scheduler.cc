#include "runtime/scheduler.h"

#include "config/settings_texts.h"
#include "runtime/main_window_texts.h"
#include "base/constants.h"

namespace vorn {

int WaitProgressMaximum(int16_t temporisation) {
  return temporisation < 2 ? 1 : temporisation - 1;
}

Scheduler::Scheduler(SchedulerHost& host, MirrorSettings& settings, const SystemInfo& system,
                     const std::vector<FolderPair>& pairs, bool service_mode)
    : host_(host),
      settings_(settings),
      system_(system),
      pairs_(pairs),
      service_mode_(service_mode) {}

CommandStates Scheduler::StatesFor(bool mirroring) const {
  const Language language = settings_.Langue;
  CommandStates states;
  states.mirroring = mirroring;
  if (mirroring) {
    states.button_tooltip = Tr(SettingsText::kStopMirroringTip, language);
    states.menu_caption = Tr(SettingsText::kStopMirroringCaption, language);
    return states;  // every command that could disturb a pass is off
  }
  states.pair_editing = true;
  states.settings_menus = true;
  states.security_menu = system_.nt;
  states.service_menu = system_.nt;
  states.exit_command = !(system_.nt && service_mode_);
  // The same texts the language sweep sets, so start-up and a change of
  // language cannot disagree.
  states.button_tooltip = Tr(MainWindowText::kMiroirTip, language);
  states.menu_caption = Tr(MainWindowText::kDemarrer, language);
  return states;
}

void Scheduler::StartStop() {
  if (ended_) return;
  wait_counter_ = settings_.Temporisation;
  host_.SetWaitProgress(0);
  host_.SetCopyProgress(0);
  if (idle_) {
    if (pairs_.empty()) return;
    host_.ClearStatusMessage();
    host_.ApplyCommandStates(StatesFor(true));
    idle_ = false;
    RunPass(PassKind::kStartCommand);
    return;
  }
  // Stop; during a pass this runs inside a yield, and the pass ends at its
  // next yield point.
  host_.SetTimerEnabled(false);
  host_.ShowPassPosition("");
  host_.ApplyCommandStates(StatesFor(false));
  idle_ = true;
  host_.SetTray(TrayState::kStopped, ProductLabel());
  host_.RestoreMainWindow();
}

void Scheduler::Tick() {
  if (ended_) return;
  if (wait_counter_ < 1) {
    RunPass(PassKind::kTimed);
    // A stop pressed during the pass has already cleared the countdown
    // label; it must not come back until mirroring starts again.
    if (ended_ || idle_) return;
    wait_counter_ = settings_.Temporisation;
  }
  host_.ShowPassPosition(std::to_string(wait_counter_) + " s");
  host_.SetWaitProgress(settings_.Temporisation - wait_counter_);
  --wait_counter_;
}

void Scheduler::Yield() {
  for (int turn = 0; turn < settings_.Performance; ++turn) host_.ProcessPendingEvents();
}

void Scheduler::KeepRunningAfterFirstPass() {
  if (!settings_.ArretAutomatique) return;
  settings_.ArretAutomatique = false;
  host_.CloseMessageWindow();
  host_.RestoreMainWindow();
}

void Scheduler::RunPass(PassKind kind) {
  if (engine_ == nullptr) return;
  const PassEnd end = engine_->RunMirrorPass(kind);
  if (end == PassEnd::kFinished) return;
  ended_ = true;
  idle_ = true;
  host_.SetTimerEnabled(false);
  host_.EndProgram(end == PassEnd::kFatalStop ? kExitFatalStop : kExitOk);
}

}  // namespace vorn
