#include "config/ini_file.h"

#include <cerrno>

#include "base/strings.h"

namespace vorn {
namespace {

// The name of a "[name]" line, or nothing when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view content) {
  const std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::string_view name = trimmed.substr(1);
  if (const auto close = name.find(']'); close != std::string_view::npos) {
    name = name.substr(0, close);
  }
  return TrimBlanks(name);
}

// Cuts a value to what a 255-character buffer holds, without splitting a
// UTF-8 sequence (a Windows code page has one byte per character).
std::string_view CutValue(std::string_view value) {
  if (value.size() <= IniFile::kMaxValueLength) return value;
  size_t end = IniFile::kMaxValueLength;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  return value.substr(0, end);
}

// A value written on one line: line breaks would cut the file's structure.
std::string OneLine(std::string_view value) {
  std::string line(value);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

// Gives a line a full line end before another line is put after it.
void CompleteEnding(std::string& ending, const std::string& newline) {
  if (ending.empty()) ending = newline;
  if (ending == "\r") ending = "\r\n";
}

}  // namespace

IniFile::IniFile(platform::FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

IniFile::Document IniFile::Parse(std::string_view text) {
  Document document;
  document.sections.emplace_back();  // lines before the first header
  bool newline_known = false;
  size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    Line line;
    if (end == std::string_view::npos) {
      line.content.assign(text.substr(start));
      start = text.size();
      // A carriage return closing the file ends the last line, as a full
      // line end would; it is not part of the last value.
      if (!line.content.empty() && line.content.back() == '\r') {
        line.content.pop_back();
        line.ending = "\r";
      }
    } else {
      line.content.assign(text.substr(start, end - start));
      line.ending = "\n";
      if (!line.content.empty() && line.content.back() == '\r') {
        line.content.pop_back();
        line.ending = "\r\n";
      }
      start = end + 1;
      if (!newline_known) {
        document.newline = line.ending;
        newline_known = true;
      }
    }
    if (const auto header = HeaderName(line.content)) {
      Section section;
      section.name = AsciiLower(*header);
      section.has_header = true;
      document.first_section.try_emplace(section.name, document.sections.size());
      section.lines.push_back(std::move(line));
      document.sections.push_back(std::move(section));
      continue;
    }
    if (const auto equals = line.content.find('='); equals != std::string::npos) {
      line.key = AsciiLower(TrimBlanks(std::string_view(line.content).substr(0, equals)));
    }
    document.sections.back().lines.push_back(std::move(line));
  }
  return document;
}

std::string IniFile::Serialize(const Document& document) {
  std::string text;
  for (const Section& section : document.sections) {
    for (const Line& line : section.lines) {
      text += line.content;
      text += line.ending;
    }
  }
  return text;
}

void IniFile::Apply(Document& document, const Change& change) {
  const std::string section_name = AsciiLower(TrimBlanks(change.section));
  const std::string key = AsciiLower(TrimBlanks(change.key));
  auto found = document.first_section.find(section_name);
  if (found == document.first_section.end()) {
    if (!change.value) return;  // removing from a missing section changes nothing
    Section& last = document.sections.back();
    if (!last.lines.empty()) CompleteEnding(last.lines.back().ending, document.newline);
    Section section;
    section.name = section_name;
    section.has_header = true;
    section.lines.push_back(
        Line{"[" + std::string(TrimBlanks(change.section)) + "]", document.newline, {}});
    found = document.first_section.emplace(section_name, document.sections.size()).first;
    document.sections.push_back(std::move(section));
  }
  std::vector<Line>& lines = document.sections[found->second].lines;

  size_t last_key_line = 0;  // the header, when the section has no key yet
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].key.empty()) continue;
    if (lines[i].key == key) {
      if (!change.value) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        return;
      }
      // Keep the key as the file spells it; only the value changes.
      const auto equals = lines[i].content.find('=');
      lines[i].content =
          std::string(TrimBlanks(std::string_view(lines[i].content).substr(0, equals))) + "=" +
          OneLine(*change.value);
      return;
    }
    last_key_line = i;
  }
  if (!change.value) return;
  CompleteEnding(lines[last_key_line].ending, document.newline);
  Line line{std::string(TrimBlanks(change.key)) + "=" + OneLine(*change.value), document.newline,
            key};
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last_key_line + 1), std::move(line));
}

const IniFile::Document* IniFile::Current() const {
  const auto info = fs_.Lookup(path_);
  if (!info.ok()) {
    cache_.reset();
    return nullptr;
  }
  const Stamp stamp{info->size, info->last_write};
  if (cache_ && cache_stamp_ == stamp) return &*cache_;
  const auto text = fs_.ReadFile(path_);
  if (!text.ok()) {
    cache_.reset();
    return nullptr;
  }
  cache_ = Parse(*text);
  cache_stamp_ = stamp;
  return &*cache_;
}

std::string IniFile::Read(std::string_view section, std::string_view key) const {
  const Document* document = Current();
  if (document == nullptr) return {};
  const auto found = document->first_section.find(AsciiLower(TrimBlanks(section)));
  if (found == document->first_section.end()) return {};
  const std::string wanted = AsciiLower(TrimBlanks(key));
  for (const Line& line : document->sections[found->second].lines) {
    if (line.key.empty() || line.key != wanted) continue;
    std::string_view value =
        TrimBlanks(std::string_view(line.content).substr(line.content.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(CutValue(value));
  }
  return {};
}

bool IniFile::Write(std::string_view section, std::string_view key,
                    std::optional<std::string_view> value) {
  const Change change{std::string(section), std::string(key),
                      value ? std::optional<std::string>(std::string(*value)) : std::nullopt};
  return WriteAll(std::span<const Change>(&change, 1));
}

bool IniFile::WriteAll(std::span<const Change> changes) {
  // Always start from the file as it is now, so a hand edit made while the
  // program runs is kept.
  std::string original;
  if (const auto text = fs_.ReadFile(path_); text.ok()) {
    original = *text;
  } else if (text.error().code != ENOENT) {
    return false;
  }
  Document document = Parse(original);
  for (const Change& change : changes) Apply(document, change);
  const std::string updated = Serialize(document);
  cache_.reset();
  if (updated == original && fs_.Lookup(path_).ok()) return true;
  return fs_.ReplaceFile(path_, updated).ok();
}

}  // namespace vorn
