#include "config/exclusions.h"

#include "base/strings.h"

namespace vorn {
namespace {

// The length of the class at the start of `pattern` ("[a-z]", "[!0-9]",
// "[]x]"), or 0 when its '[' is an ordinary character (no closing ']').
size_t ClassLength(std::string_view pattern) {
  size_t i = 1;
  if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) ++i;
  if (i < pattern.size() && pattern[i] == ']') ++i;  // a ']' first is a member
  const size_t end = pattern.find(']', i);
  return end == std::string_view::npos ? 0 : end + 1;
}

bool InClass(std::string_view glob_class, char c) {
  std::string_view members = glob_class.substr(1, glob_class.size() - 2);
  const bool negated = members.starts_with('!') || members.starts_with('^');
  if (negated) members.remove_prefix(1);
  bool matched = false;
  for (size_t i = 0; i < members.size(); ++i) {
    if (i + 2 < members.size() && members[i + 1] == '-') {
      matched |= members[i] <= c && c <= members[i + 2];
      i += 2;
    } else {
      matched |= members[i] == c;
    }
  }
  return matched != negated;
}

}  // namespace

bool GlobMatches(std::string_view pattern, std::string_view text) {
  while (!pattern.empty()) {
    if (pattern.starts_with("**")) {
      std::string_view rest = pattern.substr(2);
      // "**/" also matches no folder at all: "**/x" finds a top-level x.
      const bool folders = rest.starts_with('/');
      if (folders) rest.remove_prefix(1);
      for (size_t i = 0; i <= text.size(); ++i) {
        if ((!folders || i == 0 || text[i - 1] == '/') && GlobMatches(rest, text.substr(i))) {
          return true;
        }
      }
      return false;
    }
    if (pattern[0] == '*') {
      for (size_t i = 0; i <= text.size(); ++i) {
        if (GlobMatches(pattern.substr(1), text.substr(i))) return true;
        if (i < text.size() && text[i] == '/') break;
      }
      return false;
    }
    if (text.empty()) return false;
    size_t length = 1;  // of the pattern, for one character of the text
    if (pattern[0] == '?') {
      if (text[0] == '/') return false;
    } else if (pattern[0] == '[' && ClassLength(pattern) > 0) {
      length = ClassLength(pattern);
      if (text[0] == '/' || !InClass(pattern.substr(0, length), text[0])) return false;
    } else {
      const bool escaped = pattern[0] == '\\' && pattern.size() > 1;
      if (pattern[escaped ? 1 : 0] != text[0]) return false;
      length = escaped ? 2 : 1;
    }
    pattern.remove_prefix(length);
    text.remove_prefix(1);
  }
  return text.empty();
}

Exclusions::Exclusions(std::string_view setting) {
  while (!setting.empty()) {
    const size_t bar = setting.find('|');
    std::string_view text = TrimBlanks(setting.substr(0, bar));
    setting = bar == std::string_view::npos ? std::string_view() : setting.substr(bar + 1);
    if (text.empty()) continue;
    texts_.emplace_back(text);
    Pattern pattern;
    if (text.ends_with('/')) {
      pattern.folders_only = true;
      text.remove_suffix(1);
    }
    if (text.starts_with('/')) {
      pattern.anchored = true;
      text.remove_prefix(1);
    }
    if (text.empty()) continue;
    pattern.anchored |= text.find('/') != std::string_view::npos;
    pattern.glob = std::string(text);
    patterns_.push_back(std::move(pattern));
  }
}

std::string Exclusions::Setting() const {
  std::string setting;
  for (const std::string& text : texts_) setting += (setting.empty() ? "" : "|") + text;
  return setting;
}

bool Exclusions::Excludes(std::string_view relative, bool is_folder) const {
  const size_t slash = relative.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? relative : relative.substr(slash + 1);
  for (const Pattern& pattern : patterns_) {
    if (pattern.folders_only && !is_folder) continue;
    if (GlobMatches(pattern.glob, pattern.anchored ? relative : name)) return true;
  }
  return false;
}

std::string Exclusions::ProblemOf(std::string_view pattern) {
  if (pattern.find('|') != std::string_view::npos) return "a pattern cannot hold '|'";
  if (TrimBlanks(pattern).starts_with('!')) return "patterns that re-include ('!') are not supported";
  if (TrimBlanks(pattern).empty()) return "an empty pattern excludes nothing";
  return {};
}

}  // namespace vorn
