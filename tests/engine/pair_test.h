#pragma once

// Short set-up and checks for the engine tests over dir_ "src" and "dst".

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/engine_fixture.h"

namespace vorn::testing {

using Entries = std::vector<std::string>;

class PairTest : public EngineTest {
 protected:
  static constexpr int64_t kJan2024 = 1704067200;

  /// The counters that are not zero, by name: one comparison also catches a
  /// count that should have stayed zero.
  std::string Tally() const {
    const MirrorCounters& c = engine_.counters();
    const int counts[] = {c.FilesSeen,           c.FilesCreated,      c.FilesModified,
                          c.FilesRemoved,        c.FilesLocked,       c.FoldersCreated,
                          c.FoldersRemoved,      c.AttributesChanged, c.SecuritiesCopied,
                          c.SecuritiesNotCopied, c.SourceFolders,     c.InvalidSourceFolders,
                          c.InvalidTargetFolders};
    const char* const names[] = {"seen",     "created",     "modified",   "removed",   "locked",
                                 "folders+", "folders-",    "attributes", "security+", "security-",
                                 "pairs",    "bad-sources", "bad-targets"};
    std::string tally;
    for (size_t i = 0; i < std::size(counts); ++i) {
      if (counts[i] == 0) continue;
      tally += (tally.empty() ? "" : " ") + std::string(names[i]) + "=" + std::to_string(counts[i]);
    }
    return tally;
  }
  /// Makes entries written as Tree() shows them. Files are dated kJan2024, so
  /// a source and a target of the same size are up to date.
  void Make(const Entries& entries) {
    for (const std::string& entry : entries) {
      const size_t link = entry.find("->"), equals = entry.find('=');
      if (entry.back() == '/') {
        dir_.MakeFolder(entry);
      } else if (link != std::string::npos) {
        dir_.MakeLink(entry.substr(0, link), entry.substr(link + 2));
      } else {
        dir_.Write(entry.substr(0, equals),
                   equals == std::string::npos ? entry : entry.substr(equals + 1));
        dir_.SetTime(entry.substr(0, equals), kJan2024, 0);
      }
    }
  }
  /// Every entry below `top`, sorted: folders end in "/", links show their
  /// text after "->", files their content after "=" unless it is their own
  /// path or, in the target, their source's.
  Entries Tree(const std::string& top = "") const {
    Entries entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path(top))) {
      std::string path = entry.path().string().substr(dir_.path().size() + 1);
      if (entry.is_symlink()) {
        path += "->" + std::filesystem::read_symlink(entry).string();
      } else if (entry.is_directory()) {
        path += "/";
      } else if (const std::string content = dir_.Read(path);
                 content != path && content != "src" + path.substr(3)) {
        path += "=" + content;
      }
      entries.push_back(path);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }
  void LogFileNames() {
    settings_.Logs = settings_.FichiersLogs = true;
    log_.FixDay(clock_.Now());
    log_.OpenDailyLog();
  }
  /// The full path of a target entry, as log lines show it.
  std::string T(const std::string& relative) const { return dir_.Path(Dst(relative)); }
  /// The log line of an event about a target file, and about a folder.
  std::string FileLine(const std::string& words, const std::string& relative) const {
    return "<small>" + words + " - " + T(relative) + "</small><br>";
  }
  std::string FolderLine(const std::string& words, const std::string& path) const {
    return "<small><i>" + words + "</i> - " + path + "</small><br>";
  }
};

}  // namespace vorn::testing
