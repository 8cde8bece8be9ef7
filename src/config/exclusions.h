#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

/// What a pair leaves out of its mirror: patterns in the style of
/// .gitignore, matched case-sensitively against an entry's path relative to
/// the pair's root ("sub/report.doc"):
///   `*.tmp`             any entry of that name, at any depth
///   `cache/`            a trailing '/' matches folders only
///   `/build`, `a/b`     a '/' before the end anchors the pattern at the root
///   `**/node_modules`   `**` spans any number of folders
///   `*`, `?`, `[a-z]`, `[!0-9]` as in the shell, never across a '/'
/// An excluded source entry is not mirrored (a folder: nothing below it);
/// an excluded target entry is never removed.
class Exclusions {
 public:
  Exclusions() = default;
  /// The patterns of a pair's setting, separated by '|'; blanks around each
  /// are dropped, and so are empty ones.
  explicit Exclusions(std::string_view setting);

  bool empty() const { return patterns_.empty(); }
  /// The patterns as written, blanks and empty ones dropped.
  const std::vector<std::string>& texts() const { return texts_; }
  /// The patterns as the pair's setting holds them.
  std::string Setting() const;
  /// Whether the entry at `relative` (names joined by '/', no leading '/')
  /// is left out.
  bool Excludes(std::string_view relative, bool is_folder) const;

  /// Why a pattern cannot be used, or empty: a pattern holding '|', or a
  /// negation ('!'), which is not supported.
  static std::string ProblemOf(std::string_view pattern);

 private:
  struct Pattern {
    std::string glob;
    bool anchored = false;
    bool folders_only = false;
  };
  std::vector<Pattern> patterns_;
  std::vector<std::string> texts_;
};

/// Whether `text` matches the glob `pattern`: `*`, `?` and classes stop at
/// '/', `**` does not.
bool GlobMatches(std::string_view pattern, std::string_view text);

}  // namespace vorn
