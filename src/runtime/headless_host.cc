#include "runtime/headless_host.h"

#include "base/constants.h"
#include "base/utf8.h"
#include "platform/clock.h"
#include "platform/path.h"
#include "platform/signals.h"
#include "platform/terminal.h"
#include "runtime/runtime_texts.h"
#include "runtime/session.h"

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

std::string TerminalLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

PassReporting ReportingFor(const ProgramOptions& options) {
  PassReporting reporting;
  if (options.json) reporting.format = PassReporting::Format::kJson;
  if (options.mode != RunMode::kOnce && !options.verbose) {
    reporting.passes = PassReporting::Passes::kEventful;
  }
  if (options.dry_run || options.verbose) reporting.entries = PassReporting::Entries::kEvery;
  if (options.dry_run) reporting.changes = PassChanges::kForeseen;
  return reporting;
}

HeadlessHost::HeadlessHost(std::FILE* out, std::FILE* err, bool draw_progress)
    : out_(out), err_(err), draw_progress_(draw_progress) {}

void HeadlessHost::Attach(Session* session, platform::ServiceControl* service) {
  session_ = session;
  service_ = service;
}

void HeadlessHost::ShowPairs(const PairList& pairs) {
  // Without a window the Macintosh mismatch and each refused pair are worth a
  // line on standard error.
  if (pairs.MacWarningPending) ShowMessage(MessageIcon::kExclamation, pairs.mac_warning);
  for (const std::string& refusal : pairs.refusals) ShowMessage(MessageIcon::kExclamation, refusal);
}

void HeadlessHost::ProcessPendingEvents() {
  // A stop signal is the stop command: press it once.
  if (platform::StopRequested() && !stop_handled_) {
    stop_handled_ = true;
    if (session_ != nullptr && !session_->scheduler().Idle()) session_->scheduler().StartStop();
  }
  if (service_ != nullptr) service_->DeliverPendingEvents();
  DrawProgress();
}

void HeadlessHost::EndProgram(int exit_code) {
  ended_ = true;
  exit_code_ = exit_code;
}

void HeadlessHost::SetTray(TrayState state, const std::string&) {
  if (state == TrayState::kMirroring && !in_pass_) {
    pass_started_ms_ = platform::MonotonicMilliseconds();
  }
  in_pass_ = state == TrayState::kMirroring;
  if (!in_pass_) ClearProgress();
}

void HeadlessHost::ShowPassPosition(const std::string& text) {
  position_ = text;
  if (in_pass_) DrawProgress();
}

void HeadlessHost::DrawProgress() {
  if (!draw_progress_ || !in_pass_ || position_.empty()) return;
  const int64_t now = platform::MonotonicMilliseconds();
  if (progress_shown_ && now - last_draw_ms_ < 100) return;
  last_draw_ms_ = now;
  std::string line = std::string(kProductName) + " " + position_;
  if (session_ != nullptr) {
    const MirrorEngine& engine = session_->engine();
    line += "  " + std::to_string(engine.counters().FilesSeen) +
            std::string(Tr(ShellText::kFilesSeenProgress, language_));
    if (const auto& copy = engine.copy_in_progress()) {
      line += "  " + ByteCount(copy->copied) + "/" + ByteCount(copy->total) + " " +
              PrintableText(platform::BaseName(copy->path));
    }
  }
  // A line longer than the terminal would wrap, and the next redraw could
  // no longer take its place.
  const int columns = platform::TerminalColumns(platform::Stream::kError);
  const size_t width = columns > 1 ? static_cast<size_t>(columns) - 1 : 79;
  size_t cut = 0;
  for (size_t shown = 0; cut < line.size(); ++cut) {
    if ((static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) continue;  // inside a character
    if (shown++ == width) break;
  }
  line.resize(cut);
  std::fputs(("\r\x1b[K" + line).c_str(), err_);
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
  if (session_ != nullptr && reporting_.passes == PassReporting::Passes::kEventful &&
      !session_->engine().counters().WorthReporting()) {
    return;
  }
  if (session_ != nullptr && reporting_.format == PassReporting::Format::kJson) {
    const int64_t elapsed = platform::MonotonicMilliseconds() - pass_started_ms_;
    std::fputs((JsonSummaryLine(session_->engine(), reporting_.changes, elapsed) + "\n").c_str(),
               out_);
  } else if (reporting_.format == PassReporting::Format::kText) {
    std::fputs((TerminalLines(text) + "\n").c_str(), out_);
  }
  std::fflush(out_);
}

void HeadlessHost::ReportEntry(const PassEvent& event) {
  if (event.kind == PassEventKind::kFailed) {
    ClearProgress();
    const std::string line = std::string(kProductName) + ": " + FailureText(event) + "\n";
    std::fputs(line.c_str(), err_);
    std::fflush(err_);
  }
  std::string line;
  if (reporting_.format == PassReporting::Format::kJson) {
    line = JsonEventLine(event);
  } else if (reporting_.entries == PassReporting::Entries::kEvery) {
    line = EventText(event, language_);
  }
  if (line.empty()) return;
  ClearProgress();
  std::fputs((line + "\n").c_str(), out_);
  std::fflush(out_);
}

void HeadlessHost::ShowMessageWindow(const std::string& text) {
  ShowMessage(MessageIcon::kExclamation, text);
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
  ShowMessage(MessageIcon::kExclamation, text);
  return false;
}

}  // namespace vorn
