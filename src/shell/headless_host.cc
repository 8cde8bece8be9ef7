#include "shell/headless_host.h"

#include "platform/clock.h"
#include "platform/terminal.h"
#include "shell/constants.h"
#include "shell/shell_texts.h"

namespace vorn {

std::string PlainMessage(std::string_view html) {
  std::string text;
  for (size_t i = 0; i < html.size(); ++i) {
    if (html.compare(i, 4, "<br>") == 0) {
      text += "; ";
      i += 3;
    } else if (html[i] == '<') {
      const size_t close = html.find('>', i);
      if (close == std::string_view::npos) {
        text += html.substr(i);
        break;
      }
      i = close;
    } else if (html[i] == '\r' || html[i] == '\n') {
      if (html[i] == '\r' && i + 1 < html.size() && html[i + 1] == '\n') ++i;
      text += "; ";
    } else {
      text += html[i];
    }
  }
  return text;
}

HeadlessHost::HeadlessHost(std::FILE* out, std::FILE* err, bool draw_progress)
    : out_(out), err_(err), draw_progress_(draw_progress) {}

void HeadlessHost::Yield() {
  if (platform::StopRequested()) idle_ = true;
  DrawProgress();
}

void HeadlessHost::ShowPassPosition(const std::string& text) {
  position_ = text;
  if (text.empty()) {
    ClearProgress();
  } else {
    DrawProgress();
  }
}

void HeadlessHost::DrawProgress() {
  if (!draw_progress_ || position_.empty()) return;
  const int64_t now = platform::MonotonicMilliseconds();
  if (progress_shown_ && now - last_draw_ms_ < 100) return;
  last_draw_ms_ = now;
  std::string line = "\r\x1b[K" + std::string(kProductName) + " " + position_;
  if (files_seen_) {
    line += "  " + std::to_string(files_seen_()) +
            std::string(Tr(ShellText::kFilesSeenProgress, language_));
  }
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
  progress_shown_ = true;
}

void HeadlessHost::ClearProgress() {
  if (!progress_shown_) return;
  std::fputs("\r\x1b[K", err_);
  std::fflush(err_);
  progress_shown_ = false;
}

void HeadlessHost::ShowSummary(const std::string& text) {
  ClearProgress();
  std::string lines = text;
  for (size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.replace(at, 2, "\n");
  std::fputs((lines + "\n").c_str(), out_);
  std::fflush(out_);
}

void HeadlessHost::ShowMessageWindow(const std::string& text) {
  ShowMessage(MessageIcon::kExclamation, PlainMessage(text));
}

void HeadlessHost::Beep() {
  if (platform::IsTerminal(platform::Stream::kError)) {
    std::fputc('\a', err_);
    std::fflush(err_);
  }
}

void HeadlessHost::ShowMessage(MessageIcon, std::string_view text) {
  ClearProgress();
  std::string line = std::string(kProductName) + ": " + PlainMessage(text) + "\n";
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
}

bool HeadlessHost::AskYesNo(std::string_view text) {
  // Nobody can answer without a window; say what was asked and take No,
  // the answer that changes nothing.
  ShowMessage(MessageIcon::kExclamation, text);
  return false;
}

}  // namespace vorn
