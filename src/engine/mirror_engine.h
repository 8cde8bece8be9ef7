#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_texts.h"
#include "engine/macintosh.h"
#include "engine/mirror_counters.h"
#include "engine/pass_display.h"
#include "engine/walk_stack.h"
#include "logs/daily_log.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "engine/folder_warnings.h"
#include "config/folder_pairs.h"
#include "config/mirror_settings.h"
#include "base/system_info.h"

namespace vorn {

/// Everything a pass works with, owned by its caller.
struct MirrorEnvironment {
  platform::FileSystem& fs;
  platform::Clock& clock;
  const SystemInfo& system;
  const MirrorSettings& settings;  ///< read afresh at every use: menus change it during a pass
  std::vector<FolderPair>& pairs;  ///< the pair table; countdowns are updated
  DailyLog& log;
  PassDisplay& host;     ///< what the pass shows
  PassControl& control;  ///< its yield points and stop requests
  WarningChannels& warnings;
  SignatureLookup extension_for_signature;
  /// Writes one key of a pair's section, as every setting is written the
  /// moment it changes; none in tests that keep no configuration file.
  std::function<void(const FolderPair& pair, std::string_view key, const std::string& value)>
      save_pair_key;
};

/// Who started a pass.
enum class PassKind {
  kTimed,         ///< the tick: pairs take part every NbTemporisations-th time
  kStartCommand,  ///< the start command: every enabled pair, countdowns restarted
};

/// How a pass ended.
enum class PassEnd {
  kFinished,    ///< normally, or cut short by a stop request
  kEndProgram,  ///< stop-after-first-pass is set: the caller ends the program
  kFatalStop,   ///< a source root vanished during removal: the caller ends the program at once
};

/// The mirror engine: one pass over every pair, and the walks it is made of.
class MirrorEngine {
 public:
  explicit MirrorEngine(MirrorEnvironment environment);

  /// One pass over the pair table, in order.
  PassEnd RunMirrorPass(PassKind kind);

  /// Brings a target folder up to date with a source folder (and their
  /// sub-folders when they are mirrored), under the current pair context.
  void MirrorFolder(const std::string& source, const std::string& target);

  /// Deletes the target entries the source no longer has. False after the
  /// fatal stop: the source root vanished, nothing was deleted, and the
  /// warning has been raised.
  bool RemoveObsoleteEntries(const std::string& source, const std::string& target);

  /// A walk outside a pass (MirrorFolder, RemoveObsoleteEntries called
  /// directly): the pair flags it runs under, and counters from zero.
  void PrepareWalk(const PairContext& context) {
    context_ = context;
    counters_ = {};
  }
  const MirrorCounters& counters() const { return counters_; }
  /// Source files found locked so far in the pass or walk running now.
  const std::vector<std::string>& locked_so_far() const { return locked_temp_; }
  /// The pair being mirrored (1-based) and the number of pairs; 0 outside a pass.
  int current_pair() const { return current_pair_; }

 private:
  // One level of a walk: the sub-folders met, and the next one to enter.
  struct Frame {
    std::vector<std::string> sub_folders;
    size_t next = 0;
    bool target_swept = false;  ///< debris of interrupted copies removed from the target
  };

  void MirrorPair(FolderPair& pair, PassKind kind, PassEnd& end);
  bool SourceRootIsSafe(FolderPair& pair, const platform::Folder& source,
                        const platform::Folder& target, const platform::FolderIdentity& identity,
                        bool& has_entries);
  void ReportUnknownFolder(const std::string& folder, bool source_side);
  void ReportFolder(const std::string& folder, EngineText why);
  bool MirrorFilesOf(WalkStack& walk, Frame& frame);
  void MirrorFile(WalkStack& walk, const platform::FolderEntry& entry, Frame& frame);
  void PrepareSubFolder(WalkStack& walk, const std::string& name);
  void RemoveEmptiedSource(WalkStack& walk, const std::string& name);
  enum class Removal { kDone, kStopped, kFatal };
  Removal RemoveObsoleteIn(WalkStack& walk, Frame& frame);
  bool RemoveTargetFolder(WalkStack& walk);
  bool SourceRootUnchanged(WalkStack& walk);
  void FatalStop(const std::string& source_folder);

  /// `target_exists`: the lookup found the target name taken; `regular`:
  /// the listing showed a regular file.
  bool CopyEntry(const platform::Folder* source, const std::string& name,
                 const platform::Folder* target, const std::string& target_name, bool target_exists,
                 bool regular);
  enum class SecurityResult { kUnchanged, kCopied, kNotCopied };
  SecurityResult CompareSecurity(const platform::Folder& source, std::string_view name,
                                 const platform::Folder& target, std::string_view target_name);
  void CopySecurity(const platform::Folder& source, std::string_view name,
                    const platform::Folder* target, std::string_view target_name);

  bool LoggingFiles() const { return env_.settings.Logs && env_.settings.FichiersLogs; }
  void LogFileEvent(std::string_view what, const std::string& path);
  void LogFolderEvent(std::string_view what, const std::string& path);
  std::string TrayTip(bool mirroring) const;
  std::string TimeNow() const;

  MirrorEnvironment env_;
  PairContext context_;
  MirrorCounters counters_;
  std::vector<std::string> locked_temp_;
  std::vector<std::string> locked_;
  int current_pair_ = 0;
  /// The source root a pair's removal must find: the one checked before mirroring.
  std::optional<platform::FolderIdentity> expected_source_root_;
  std::optional<platform::FolderIdentity> source_root_identity_;
};

}  // namespace vorn
