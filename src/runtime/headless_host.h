#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/service_control.h"
#include "runtime/command_line.h"
#include "runtime/pass_report.h"
#include "runtime/scheduler.h"
#include "runtime/startup.h"

namespace vorn {

/// What a run without a window prints of its passes.
struct PassReporting {
  enum class Format {
    kText,  ///< the summary lines
    kJson,  ///< one JSON object a line for every event and every summary
  };
  enum class Passes {
    kEvery,     ///< every pass's summary
    kEventful,  ///< only those of passes that changed or met something
  };
  enum class Entries {
    kFailures,  ///< a text line for each entry that could not be mirrored only
    kEvery,     ///< and one for each entry changed or found locked
  };
  Format format = Format::kText;
  Passes passes = Passes::kEvery;
  Entries entries = Entries::kFailures;
  PassChanges changes = PassChanges::kMade;
};

/// The reporting the options ask for: quiet passes are not shown by
/// --headless and --service unless --verbose; entries are listed by a dry
/// run and by --verbose.
PassReporting ReportingFor(const ProgramOptions& options);

/// The host of a run without a window: summaries on standard output;
/// messages, warnings and questions on standard error, prefixed with the
/// product name; SIGINT and SIGTERM as the stop command; and, when standard
/// error is a terminal, a pass's progress redrawn in place at most ten times
/// a second. Questions are answered No: nobody is there to answer.
class Session;

class HeadlessHost final : public StartupHost, public SchedulerHost {
 public:
  HeadlessHost(std::FILE* out, std::FILE* err, bool draw_progress);

  /// What a stop signal stops and the progress line counts, and where
  /// service events come from.
  void Attach(Session* session, platform::ServiceControl* service);
  /// What the passes print from now on (every summary, as text, by default).
  void SetReporting(const PassReporting& reporting) { reporting_ = reporting; }

  bool ended() const { return ended_; }
  int exit_code() const { return exit_code_; }
  bool timer_enabled() const { return timer_enabled_; }

  // Dialogs
  void ShowMessage(MessageIcon icon, std::string_view text) override;
  void ShowTitledMessage(MessageIcon icon, std::string_view, std::string_view text) override {
    ShowMessage(icon, text);
  }
  bool AskYesNo(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view, std::string_view) override { return {}; }
  std::optional<std::string> PickFolder(std::string_view) override { return {}; }

  // StartupHost: nothing to draw.
  void SetTitle(const std::string&, const std::string&) override {}
  void ShowMode(const ModeDisplay&) override {}
  void ApplySettings(const MirrorSettings&) override {}
  void AddTrayIcon(const std::string&) override {}
  void RemoveTrayIcon() override {}
  void SetWaitProgressRange(int) override {}
  void ApplySystemFeatures(SystemFamily) override {}
  void ApplyLanguage(Language language) override { language_ = language; }
  void ShowPairs(const PairList& pairs) override;
  void MinimizeMainWindow() override {}

  // SchedulerHost
  void ProcessPendingEvents() override;
  void ApplyCommandStates(const CommandStates&) override {}
  void ClearStatusMessage() override {}
  void RestoreMainWindow() override {}
  void EndProgram(int exit_code) override;
  void CloseMessageWindow() override {}

  // PassDisplay
  void SetTimerEnabled(bool enabled) override { timer_enabled_ = enabled; }
  void SetWaitProgress(int) override {}
  void SetCopyProgressMaximum(int) override {}
  void SetCopyProgress(int) override {}
  void ShowPassPosition(const std::string& text) override;
  void SetTray(TrayState state, const std::string&) override;
  void ShowSummary(const std::string& text) override;
  void ShowLockedFiles(const std::vector<std::string>&) override {}
  void RefreshFileLists(bool) override {}
  void ShowMessageWindow(const std::string& text) override;
  void Beep() override;
  void ReportEntry(const PassEvent& event) override;

 private:
  void DrawProgress();
  void ClearProgress();

  std::FILE* out_;
  std::FILE* err_;
  bool draw_progress_;
  PassReporting reporting_;
  int64_t pass_started_ms_ = 0;
  Session* session_ = nullptr;
  platform::ServiceControl* service_ = nullptr;
  Language language_ = kUnset;
  std::string position_;
  bool in_pass_ = false;
  int64_t last_draw_ms_ = 0;
  bool progress_shown_ = false;
  bool stop_handled_ = false;
  bool timer_enabled_ = false;
  bool ended_ = false;
  int exit_code_ = kExitOk;
};

/// A text with CR LF line ends as a terminal wants it, with LF.
std::string TerminalLines(std::string_view text);

/// A message meant for a window as one plain line: "<br>" and line breaks
/// become "; ", other tags go.
std::string PlainMessage(std::string_view html);

}  // namespace vorn
