#include "runtime/pass_report.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "logs/log_lines.h"
#include "logs/log_texts.h"

namespace vorn {
namespace {

// The length of the well-formed UTF-8 sequence at `i`, or 0.
size_t SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

std::string JsonReplacingBadBytes(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t length = SequenceLength(text, i);
    if (length == 0) {
      json += "\\ufffd";
      ++i;
      continue;
    }
    if (length > 1) {
      json.append(text.substr(i, length));
    } else if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c == '\n') {
      json += "\\n";
    } else if (c == '\r') {
      json += "\\r";
    } else if (c == '\t') {
      json += "\\t";
    } else if (c < 0x20) {
      json += "\\u00";
      json += kHex[c >> 4];
      json += kHex[c & 15];
    } else {
      json += static_cast<char>(c);
    }
    i += length;
  }
  return json + "\"";
}

std::string Hex(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char b : bytes) {
    hex += kHex[static_cast<unsigned char>(b) >> 4];
    hex += kHex[static_cast<unsigned char>(b) & 15];
  }
  return hex;
}

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

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string JsonField(std::string_view name, std::string_view text) {
  std::string field = "\"" + std::string(name) + "\":" + JsonReplacingBadBytes(text);
  if (!IsValidUtf8(text)) field += ",\"" + std::string(name) + "_hex\":\"" + Hex(text) + "\"";
  return field;
}

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

std::string PrintableText(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    const auto c = static_cast<unsigned char>(text[i]);
    // C0 controls, DEL, the C1 controls U+0080..U+009F, and stray bytes.
    const bool control = length == 0 || (length == 1 && (c < 0x20 || c == 0x7F)) ||
                         (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
    if (control) {
      printable += '?';
    } else {
      printable.append(text.substr(i, length));
    }
    i += length == 0 ? 1 : length;
  }
  return printable;
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
