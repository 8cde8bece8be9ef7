#include "runtime/scheduler.h"

#include "config/settings_texts.h"
#include "platform/clock.h"
#include "runtime/main_window_texts.h"
#include "runtime/runtime_texts.h"
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
  RearmWatcher();
  host_.SetTray(TrayState::kStopped, ProductLabel());
  host_.RestoreMainWindow();
}

void Scheduler::Tick() {
  if (ended_) return;
  WatchChanges();
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

int Scheduler::WatchChanges() {
  if (watcher_ == nullptr || idle_ || in_pass_ || ended_) return -1;
  const platform::WatchNews news = watcher_->Poll();
  ReportUnwatched(news.given_up);
  if (news.changed) {
    change_waits_ = true;
    last_change_ms_ = news.last_change_ms;
  }
  const int arming = watcher_->Arming() ? 0 : -1;
  if (!change_waits_ || settings_.WatchQuiet < 1) return arming;
  // A file being written goes on changing: its pass waits for the quiet
  // that follows the last write.
  const int64_t quiet_left =
      last_change_ms_ + int64_t{settings_.WatchQuiet} * 1000 - platform::MonotonicMilliseconds();
  if (quiet_left > 0) return arming == 0 ? 0 : static_cast<int>(quiet_left);
  change_waits_ = false;
  early_pass_due_ = true;
  wait_counter_ = 0;
  return 0;
}

void Scheduler::RearmWatcher() {
  if (watcher_ == nullptr) return;
  std::vector<std::string> sources;
  if (!idle_ && !ended_ && settings_.WatchQuiet >= 1) {
    // The pairs a timed pass could mirror; the others' changes would only
    // bring forward passes that leave them out.
    for (const FolderPair& pair : pairs_) {
      if (IsOn(pair.Enable) && !pair.Source.empty() && !pair.Target.empty() &&
          pair.Danger == PairDanger::kNone) {
        sources.push_back(pair.Source);
      }
    }
  }
  if (sources.empty()) change_waits_ = false;
  watcher_->Watch(sources, settings_.MiroirSousDossiers);
}

void Scheduler::ReportUnwatched(const std::vector<platform::UnwatchedTree>& trees) {
  for (const platform::UnwatchedTree& tree : trees) {
    host_.ShowMessageWindow(
        tree.root + std::string(Tr(ShellText::kUnwatchedTree, settings_.Langue)) + tree.limit);
  }
}

void Scheduler::RunPass(PassKind kind) {
  if (engine_ == nullptr) return;
  in_pass_ = true;
  early_pass_due_ = false;
  const PassEnd end = engine_->RunMirrorPass(kind);
  in_pass_ = false;
  if (watcher_ != nullptr) {
    // Whatever the sources said during the pass is dropped: the pass saw
    // most of it, and some of it was its own doing (a moved source is
    // deleted), which must not start pass after pass. A change another
    // program made behind the walk waits for the interval.
    ReportUnwatched(watcher_->Poll().given_up);
    change_waits_ = false;
  }
  if (end != PassEnd::kFinished) {
    ended_ = true;
    idle_ = true;
  }
  RearmWatcher();  // a source that was missing may be back
  if (end == PassEnd::kFinished) return;
  host_.SetTimerEnabled(false);
  host_.EndProgram(end == PassEnd::kFatalStop ? kExitFatalStop : kExitOk);
}

}  // namespace vorn
