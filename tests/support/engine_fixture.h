#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mirror_engine.h"
#include "platform/clock.h"
#include "platform/fault_injecting_file_system.h"
#include "platform/posix_file_system.h"
#include "platform/service_control.h"
#include "settings/scheduler.h"
#include "support/test_folder.h"

namespace vorn::testing {

/// A MirrorHost that records what the pass showed and lets a test press
/// "stop" at a chosen yield point.
class RecordingHost final : public MirrorHost {
 public:
  void Yield() override {
    ++yields;
    if (on_yield) on_yield(yields);
  }
  bool Idle() override { return idle; }
  void SetTimerEnabled(bool enabled) override { timer_enabled = enabled; }
  void SetWaitProgress(int value) override { wait_progress = value; }
  void SetCopyProgressMaximum(int maximum) override { copy_maximum = maximum; }
  void SetCopyProgress(int value) override { copy_progress.push_back(value); }
  void ShowPassPosition(const std::string& text) override { positions.push_back(text); }
  void SetTray(TrayState state, const std::string& tip) override {
    tray_states.push_back(state);
    tray_tip = tip;
  }
  void ShowSummary(const std::string& text) override { summaries.push_back(text); }
  void ShowLockedFiles(const std::vector<std::string>& locked) override { shown_locked = locked; }
  void RefreshFileLists(bool target_changed) override { refreshes.push_back(target_changed); }
  void ShowMessageWindow(const std::string& text) override { messages.push_back(text); }
  void Beep() override { ++beeps; }

  bool idle = false;
  int yields = 0;
  std::function<void(int)> on_yield;
  bool timer_enabled = false;
  int wait_progress = -1;
  int copy_maximum = 0;
  std::vector<int> copy_progress;
  std::vector<std::string> positions;
  std::vector<TrayState> tray_states;
  std::string tray_tip;
  std::vector<std::string> summaries;
  std::vector<std::string> shown_locked;
  std::vector<bool> refreshes;
  std::vector<std::string> messages;
  int beeps = 0;
};

/// A clock that answers the times it was given, one per call, repeating
/// the last; long dates in English.
class FakeClock final : public platform::Clock {
 public:
  platform::LocalTime Now() override {
    if (times.empty()) return {};
    const platform::LocalTime t = times[std::min(next, times.size() - 1)];
    ++next;
    return t;
  }
  std::string LongDate(const platform::LocalTime& time) override {
    return platform::FormatLongDate(time, "C");
  }
  std::vector<platform::LocalTime> times{platform::LocalTime{2024, 5, 1, 10, 15, 2, 3}};
  size_t next = 0;
};

/// A service control that records event-log entries.
class FakeServiceControl final : public platform::ServiceControl {
 public:
  bool IsInstalled() override { return installed; }
  bool IsRunningAsService() override { return running_as_service; }
  bool IsRunning() override { return running; }
  int StartType() override { return start_type; }
  void SetStartType(int value) override { start_type = value; }
  bool InteractWithDesktop() override { return interact; }
  void SetInteractWithDesktop(bool value) override { interact = value; }
  void Install(bool) override { installed = true; }
  void Uninstall() override { installed = false; }
  void LogEvent(platform::EventType type, std::string_view text) override {
    events.emplace_back(type, std::string(text));
  }
  void SetEventHandler(platform::ServiceEventHandler* value) override { handler = value; }
  void DeliverPendingEvents() override {}

  bool installed = false;
  bool running_as_service = false;
  bool running = false;
  int start_type = 0;
  bool interact = false;
  std::vector<std::pair<platform::EventType, std::string>> events;
  platform::ServiceEventHandler* handler = nullptr;
};

/// A SchedulerHost that records what it was asked and runs a test's hook
/// at each event-loop turn (to press stop during a pass, say).
class RecordingSchedulerHost final : public SchedulerHost {
 public:
  void ProcessPendingEvents() override {
    ++turns;
    if (on_turn) on_turn(turns);
  }
  void ApplyCommandStates(const CommandStates& states) override {
    command_states.push_back(states);
  }
  void ClearStatusMessage() override { ++status_clears; }
  void RestoreMainWindow() override { ++restores; }
  void EndProgram(int exit_code) override { ended_with.push_back(exit_code); }
  void CloseMessageWindow() override { ++message_window_closes; }
  void SetTimerEnabled(bool enabled) override { timer_enabled = enabled; }
  void SetWaitProgress(int value) override { wait_progress = value; }
  void SetCopyProgressMaximum(int) override {}
  void SetCopyProgress(int) override {}
  void ShowPassPosition(const std::string& text) override { label = text; }
  void SetTray(TrayState state, const std::string& tip) override {
    tray_state = state;
    tray_tip = tip;
  }
  void ShowSummary(const std::string& text) override { summaries.push_back(text); }
  void ShowLockedFiles(const std::vector<std::string>&) override {}
  void RefreshFileLists(bool) override {}
  void ShowMessageWindow(const std::string& text) override { messages.push_back(text); }
  void Beep() override {}

  int turns = 0;
  std::function<void(int)> on_turn;
  std::vector<CommandStates> command_states;
  int status_clears = 0;
  int restores = 0;
  std::vector<int> ended_with;
  int message_window_closes = 0;
  bool timer_enabled = false;
  int wait_progress = -1;
  std::string label;
  TrayState tray_state = TrayState::kStopped;
  std::string tray_tip;
  std::vector<std::string> summaries;
  std::vector<std::string> messages;
};

/// SystemInfo of the NT family (what Linux is), and of the 95 family.
SystemInfo NtSystem();
SystemInfo Windows95System();

/// A temporary "src" and "dst" tree, the engine and everything around it,
/// over the real file system seen through a fault-injecting decorator.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest();

  /// Adds a pair whose seven settings are given as texts ("1" = on).
  FolderPair& AddPair(const std::string& source, const std::string& target);
  /// A pair over dir_ "src" and "dst", created as folders.
  FolderPair& AddDefaultPair();
  PassEnd Pass(PassKind kind = PassKind::kStartCommand);
  /// Runs MirrorFolder (and RemoveObsoleteEntries when Effacer) on src/dst
  /// with a pair context, as one pair of a pass.
  void MirrorSrcToDst(const PairContext& context);
  /// The lines of the current daily log, without the seven header lines.
  std::vector<std::string> LogBody() const;
  std::string Src(const std::string& relative) const { return "src/" + relative; }
  std::string Dst(const std::string& relative) const { return "dst/" + relative; }

  TestFolder dir_;
  /// Breaks a copy at a chosen step, as PosixFileSystemOptions::copy_fault.
  std::function<int(platform::CopyStep, uint64_t)> copy_fault_;
  std::unique_ptr<platform::FileSystem> real_fs_ =
      platform::MakePosixFileSystem({[this](platform::CopyStep step, uint64_t offset) {
                                       return copy_fault_ ? copy_fault_(step, offset) : 0;
                                     },
                                     64 * 1024, true});
  platform::FaultInjectingFileSystem fs_{*real_fs_};
  FakeClock clock_;
  SystemInfo system_ = NtSystem();
  MirrorSettings settings_;
  std::vector<FolderPair> pairs_;
  DailyLog log_{fs_, settings_, clock_};
  RecordingHost host_;
  FakeServiceControl service_;
  std::vector<std::string> commands_run_;
  WarningChannels warnings_{host_, log_, &service_, system_, [this](const std::string& command) {
                              commands_run_.push_back(command);
                            }};
  MirrorEngine engine_{
      MirrorEnvironment{fs_, clock_, system_, settings_, pairs_, log_, host_, warnings_, {}}};
};

}  // namespace vorn::testing
