#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mirror_engine.h"
#include "platform/fault_injecting_file_system.h"
#include "platform/posix_file_system.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn::testing {

using Entries = std::vector<std::string>;

/// SystemInfo of the NT family (what Linux is), and of the 95 family (no version).
inline SystemInfo MakeSystem(const char* name, int32_t nt_version) {
  SystemInfo info;
  info.os_name = name;
  info.nt = nt_version != 0;
  info.nt_major_version = nt_version;
  return info;
}
inline SystemInfo NtSystem() { return MakeSystem("Linux", 6); }
inline SystemInfo Windows95System() { return MakeSystem("Windows 95", 0); }

/// A temporary "src" and "dst" tree, the engine and everything around it,
/// over the real file system seen through a fault-injecting decorator; with
/// short set-up and checks that write entries as Tree() shows them. Public,
/// for the set-up functions of table-driven tests.
class EngineTest : public ::testing::Test {
 public:
  static constexpr int64_t kJan2024 = 1704067200;

  EngineTest() {
    settings_.PathLogs = dir_.path();
    dir_.Make({"src/", "dst/"});
  }

  /// Adds a pair numbered after the ones before it.
  FolderPair& AddPair(const std::string& source, const std::string& target) {
    FolderPair& pair = pairs_.emplace_back();
    pair.Number = static_cast<int16_t>(pairs_.size());
    pair.Source = source;
    pair.Target = target;
    return pair;
  }
  FolderPair& AddDefaultPair() { return AddPair(dir_.Path("src"), dir_.Path("dst")); }
  PassEnd Pass(PassKind kind = PassKind::kStartCommand) { return engine_.RunMirrorPass(kind); }
  /// Runs MirrorFolder (and RemoveObsoleteEntries when Effacer) on src/dst
  /// under a pair context, counting from zero.
  void MirrorSrcToDst(const PairContext& context) {
    engine_.PrepareWalk(context);
    engine_.MirrorFolder(dir_.Path("src"), dir_.Path("dst"));
    if (context.Effacer && !context.Deplacer) {
      engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
    }
  }
  /// The lines of the current daily log, without the seven header lines.
  Entries LogBody() const {
    const auto text = real_fs_->ReadFile(log_.current_file());
    std::istringstream stream(text.ok() ? *text : "");
    Entries lines;
    for (std::string line; std::getline(stream, line);) {
      lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    }
    lines.erase(lines.begin(), lines.begin() + std::min<size_t>(7, lines.size()));
    return lines;
  }
  std::string Src(const std::string& relative) const { return "src/" + relative; }
  std::string Dst(const std::string& relative) const { return "dst/" + relative; }
  /// The counters that are not zero, by name: one comparison also catches a
  /// count that should have stayed zero.
  std::string Tally() const {
    const MirrorCounters& c = engine_.counters();
    const std::pair<const char*, int> counts[] = {
        {"seen", c.FilesSeen}, {"created", c.FilesCreated}, {"modified", c.FilesModified},
        {"removed", c.FilesRemoved}, {"locked", c.FilesLocked}, {"folders+", c.FoldersCreated},
        {"folders-", c.FoldersRemoved}, {"attributes", c.AttributesChanged},
        {"security+", c.SecuritiesCopied}, {"security-", c.SecuritiesNotCopied},
        {"pairs", c.SourceFolders}, {"bad-sources", c.InvalidSourceFolders},
        {"bad-targets", c.InvalidTargetFolders}};
    std::string tally;
    for (const auto& [name, count] : counts) {
      if (count != 0) tally += (tally.empty() ? "" : " ") + (name + ("=" + std::to_string(count)));
    }
    return tally;
  }
  /// Makes entries written as Tree() shows them. Files are dated kJan2024, so
  /// a source and a target of the same size are up to date.
  void Make(const Entries& entries) {
    for (const std::string& entry : entries) {
      dir_.Make({entry});
      if (entry.back() != '/' && entry.find("->") == std::string::npos) {
        dir_.SetTime(entry.substr(0, entry.find('=')), kJan2024, 0);
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

  TestFolder dir_;
  /// Breaks a copy at a chosen step, as PosixFileSystemOptions::copy_fault.
  std::function<int(platform::CopyStep, uint64_t)> copy_fault_;
  std::unique_ptr<platform::FileSystem> real_fs_ =
      platform::MakePosixFileSystem({[this](platform::CopyStep step, uint64_t offset) {
                                       return copy_fault_ ? copy_fault_(step, offset) : 0;
                                     },
                                     64 * 1024, true});
  platform::FaultInjectingFileSystem fs_{*real_fs_};
  FakeClock clock_;
  SystemInfo system_ = NtSystem();
  MirrorSettings settings_;
  std::vector<FolderPair> pairs_;
  /// Never made: lines that fall back to the application folder are lost.
  DailyLog log_{fs_, settings_, clock_, dir_.Path("app")};
  RecordingHost host_;
  FakeServiceControl service_;
  std::vector<std::string> commands_run_;
  WarningChannels warnings_{host_, log_, &service_, system_, [this](const std::string& command) {
                              commands_run_.push_back(command);
                            }};
  MirrorEngine engine_{MirrorEnvironment{
      fs_, clock_, system_, settings_, pairs_, log_, host_, host_, warnings_, {}, {}}};
};

}  // namespace vorn::testing
