#include "runtime/pass_report.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "base/utf8.h"
#include "logs/log_lines.h"
#include "logs/log_texts.h"

namespace vorn {
namespace {

std::string_view KindName(PassEventKind kind) {
  switch (kind) {
    case PassEventKind::kCreated:
      return "created";
    case PassEventKind::kModified:
      return "modified";
    case PassEventKind::kRemoved:
      return "removed";
    case PassEventKind::kLocked:
      return "locked";
    case PassEventKind::kFailed:
      return "failed";
    case PassEventKind::kSecurityChanged:
      return "security";
    case PassEventKind::kAttributesChanged:
      return "attributes";
    case PassEventKind::kMissing:
      return "missing";
  }
  return "";
}

std::string Number(std::string_view name, int64_t value) {
  return "\"" + std::string(name) + "\":" + std::to_string(value);
}

}  // namespace

std::string JsonEventLine(const PassEvent& event) {
  std::string line = "{\"type\":\"" + std::string(KindName(event.kind)) + "\",\"entry\":\"" +
                     (event.entry == PassEntry::kFolder ? "folder" : "file") + "\"," +
                     Number("pair", event.pair) + "," + JsonField("path", event.path);
  if (event.kind == PassEventKind::kFailed) line += "," + JsonField("error", event.error);
  return line + "}";
}

std::string JsonSummaryLine(const MirrorEngine& engine, PassChanges changes, int64_t elapsed_ms) {
  std::string line = "{\"type\":\"summary\",\"pairs\":[";
  const std::vector<FolderPair>& pairs = engine.pairs();
  bool first = true;
  for (const int number : engine.mirrored_pairs()) {
    if (number < 1 || static_cast<size_t>(number) > pairs.size()) continue;
    const FolderPair& pair = pairs[static_cast<size_t>(number) - 1];
    if (!first) line += ",";
    first = false;
    line += "{" + Number("pair", number) + "," + JsonField("source", pair.Source) + "," +
            JsonField("target", pair.Target) + "}";
  }
  line += "]";
  const MirrorCounters& c = engine.counters();
  for (const auto& [name, value] : std::initializer_list<std::pair<std::string_view, int32_t>>{
           {"files_seen", c.FilesSeen},
           {"files_created", c.FilesCreated},
           {"files_modified", c.FilesModified},
           {"files_removed", c.FilesRemoved},
           {"files_locked", c.FilesLocked},
           {"files_failed", c.FilesFailed},
           {"securities_copied", c.SecuritiesCopied},
           {"securities_not_copied", c.SecuritiesNotCopied},
           {"attributes_changed", c.AttributesChanged},
           {"folders_created", c.FoldersCreated},
           {"folders_removed", c.FoldersRemoved},
           {"source_folders", c.SourceFolders},
           {"invalid_source_folders", c.InvalidSourceFolders},
           {"invalid_target_folders", c.InvalidTargetFolders},
       }) {
    line += "," + Number(name, value);
  }
  line += std::string(",\"dry_run\":") + (changes == PassChanges::kForeseen ? "true" : "false");
  return line + "," + Number("elapsed_ms", elapsed_ms) + "}";
}

std::string EventText(const PassEvent& event, Language language) {
  const bool folder = event.entry == PassEntry::kFolder;
  std::string words;
  switch (event.kind) {
    case PassEventKind::kCreated:
      words = folder ? FolderEventWords(FolderEvent::kCreated, language)
                     : FileEventWords(FileEvent::kCreated, language);
      break;
    case PassEventKind::kModified:
      words = FileEventWords(FileEvent::kModified, language);
      break;
    case PassEventKind::kRemoved:
      words = folder ? FolderEventWords(FolderEvent::kDeleted, language)
                     : FileEventWords(FileEvent::kDeleted, language);
      break;
    case PassEventKind::kSecurityChanged:
      words = folder ? FolderEventWords(FolderEvent::kSecurityModified, language)
                     : FileEventWords(FileEvent::kSecurityModified, language);
      break;
    case PassEventKind::kAttributesChanged:
      words = folder ? FolderEventWords(FolderEvent::kAttributesModified, language)
                     : FileEventWords(FileEvent::kAttributesModified, language);
      break;
    case PassEventKind::kLocked:
      words = Tr(LogText::kLocked, language);
      break;
    case PassEventKind::kFailed:
    case PassEventKind::kMissing:
      return {};
  }
  return words + " - " + PrintableText(event.path);
}

std::string FailureText(const PassEvent& event) {
  return PrintableText(event.path) + ": " + PrintableText(event.error);
}

std::string ByteCount(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB"};
  double value = static_cast<double>(bytes) / 1024;
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

}  // namespace vorn
