#pragma once

// Recording stand-ins for the program's host interfaces, shared by the core
// and the window tests.

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/service_control.h"
#include "runtime/scheduler.h"
#include "runtime/startup.h"
// After startup.h: its RunMode::kVersion, declared later, would shadow this kVersion.
#include "base/constants.h"
#include "base/dialogs.h"

namespace vorn::testing {

/// The window as the scheduler and a pass see it: records what it was
/// shown and asked, and runs a test's hooks at each event-loop turn and each
/// yield point (to press stop during a pass, say). Engine tests use it as
/// the pass's control too.
class RecordingHost final : public SchedulerHost, public PassControl {
 public:
  void Yield() override {
    ++yields;
    if (on_yield) on_yield(yields);
  }
  bool Idle() const override { return idle; }
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
  void SetCopyProgressMaximum(int maximum) override { copy_maximum = maximum; }
  void SetCopyProgress(int value) override { copy_progress.push_back(value); }
  void ShowPassPosition(const std::string& text) override { positions.push_back(text); }
  void SetTray(TrayState state, const std::string& tip) override {
    tray_states.push_back(state);
    tray_tip = tip;
  }
  void ShowSummary(const std::string& text) override { summaries.push_back(text); }
  void ShowLockedFiles(const std::vector<std::string>& locked) override { shown_locked = locked; }
  void RefreshFileLists(bool) override {}
  void ShowMessageWindow(const std::string& text) override { messages.push_back(text); }
  void Beep() override { ++beeps; }
  void ReportEntry(const PassEvent& event) override {
    events.push_back(std::to_string(static_cast<int>(event.kind)) + " " + event.path + " " +
                     event.error);
  }

  bool idle = false, timer_enabled = false;
  int yields = 0, turns = 0;
  std::function<void(int)> on_yield, on_turn;
  int status_clears = 0, restores = 0, message_window_closes = 0, beeps = 0;
  int wait_progress = -1, copy_maximum = 0;
  std::vector<int> ended_with, copy_progress;
  std::vector<CommandStates> command_states;
  std::vector<std::string> positions;  ///< the status label's texts, in order
  std::vector<TrayState> tray_states;
  std::string tray_tip;
  std::vector<std::string> summaries, shown_locked, messages;
  std::vector<std::string> events;  ///< what ReportEntry was told: kind, path, error
};

/// A clock that answers the times it was given, one per call, repeating
/// the last; long dates in English.
class FakeClock final : public platform::Clock {
 public:
  platform::LocalTime Now() override {
    return times.empty() ? platform::LocalTime{} : times[std::min(next++, times.size() - 1)];
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
  bool IsInstalledHere() override { return installed; }
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

  bool installed = false, running_as_service = false, running = false, interact = false;
  int start_type = 0;
  std::vector<std::pair<platform::EventType, std::string>> events;
  platform::ServiceEventHandler* handler = nullptr;
};

/// Dialogs answered from a script, recording what was shown and asked; the
/// base of the start-up host's recorder too, since that host is the dialogs.
template <typename Base>
class ScriptedDialogsFor : public Base {
 public:
  void ShowMessage(MessageIcon icon, std::string_view text) override {
    ShowTitledMessage(icon, kProductName, text);
  }
  void ShowTitledMessage(MessageIcon icon, std::string_view title, std::string_view text) override {
    messages.emplace_back(icon, std::string(text));
    titles.emplace_back(title);
  }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return Next(answers);
  }
  std::optional<std::string> InputBox(std::string_view prompt,
                                      std::string_view default_text) override {
    prompts.emplace_back(prompt);
    defaults.emplace_back(default_text);
    return Next(typed);
  }
  std::optional<std::string> PickFolder(std::string_view title) override {
    prompts.emplace_back(title);
    return Next(folders);
  }

  std::vector<std::pair<MessageIcon, std::string>> messages;
  std::vector<std::string> titles;  ///< of each message, in the same order
  std::vector<std::string> questions;
  std::vector<bool> answers;  ///< the next Yes/No answers, in order; No when none is left
  std::vector<std::string> prompts;   ///< input box prompts and picker titles
  std::vector<std::string> defaults;  ///< the input boxes' default texts
  /// The next typed texts and picked folders; nothing (cancel) when none is left.
  std::vector<std::optional<std::string>> typed, folders;

 private:
  // The front of a script, taken off it; No or cancel once it is used up.
  template <typename T>
  static T Next(std::vector<T>& queue) {
    if (queue.empty()) return T{};
    const T next = queue.front();
    queue.erase(queue.begin());
    return next;
  }
};

using ScriptedDialogs = ScriptedDialogsFor<Dialogs>;

/// A StartupHost that records the calls it gets, in order.
class RecordingStartupHost final : public ScriptedDialogsFor<StartupHost> {
 public:
  void SetTitle(const std::string& t, const std::string& label) override {
    title = t;
    product_label = label;
  }
  void ShowMode(const ModeDisplay& m) override { mode = m; }
  void ApplySettings(const MirrorSettings&) override { calls.push_back("settings"); }
  void AddTrayIcon(const std::string& tip) override { calls.push_back("tray+ " + tip); }
  void RemoveTrayIcon() override { calls.push_back("tray-"); }
  void SetWaitProgressRange(int maximum) override {
    calls.push_back("range " + std::to_string(maximum));
  }
  void ApplySystemFeatures(SystemFamily family) override {
    calls.push_back(family == SystemFamily::kNt ? "nt" : "95");
  }
  void ApplyLanguage(Language language) override {
    calls.push_back("language " + std::to_string(static_cast<int16_t>(language)));
  }
  void ShowPairs(const PairList& pairs) override {
    calls.push_back("pairs " + std::to_string(pairs.pairs.size()));
  }
  void MinimizeMainWindow() override { calls.push_back("minimize"); }

  std::string title, product_label;
  ModeDisplay mode;
  std::vector<std::string> calls;
};

}  // namespace vorn::testing
