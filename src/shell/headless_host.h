#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "engine/mirror_host.h"
#include "shell/dialogs.h"

namespace vorn {

/// The host of a run without a window: summaries on standard output;
/// messages, warnings and questions on standard error, prefixed with the
/// product name; SIGINT and SIGTERM as the stop command; and, when standard
/// error is a terminal, the pass's progress redrawn in place at most ten
/// times a second.
class HeadlessHost final : public MirrorHost, public Dialogs {
 public:
  HeadlessHost(std::FILE* out, std::FILE* err, bool draw_progress);

  /// Counts the files seen so far, for the progress line.
  void SetFilesSeenSource(std::function<int()> files_seen) { files_seen_ = std::move(files_seen); }
  /// Language of the progress line.
  void SetLanguage(int16_t language) { language_ = language; }
  /// Starts (false) or stops (true) mirroring.
  void SetIdle(bool idle) { idle_ = idle; }

  void Yield() override;
  bool Idle() override { return idle_; }
  void SetTimerEnabled(bool) override {}
  void SetWaitProgress(int) override {}
  void SetCopyProgressMaximum(int) override {}
  void SetCopyProgress(int) override {}
  void ShowPassPosition(const std::string& text) override;
  void SetTray(TrayState, const std::string&) override {}
  void ShowSummary(const std::string& text) override;
  void ShowLockedFiles(const std::vector<std::string>&) override {}
  void RefreshFileLists(bool) override {}
  void ShowMessageWindow(const std::string& text) override;
  void Beep() override;

  void ShowMessage(MessageIcon icon, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;

 private:
  void DrawProgress();
  void ClearProgress();

  std::FILE* out_;
  std::FILE* err_;
  bool draw_progress_;
  bool idle_ = true;
  int16_t language_ = 0;
  std::function<int()> files_seen_;
  std::string position_;
  int64_t last_draw_ms_ = 0;
  bool progress_shown_ = false;
};

/// A message meant for a window as one plain line: "<br>" and line breaks
/// become "; ", other tags go.
std::string PlainMessage(std::string_view html);

}  // namespace vorn
