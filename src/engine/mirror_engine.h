#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/system_info.h"
#include "config/exclusions.h"
#include "config/folder_pairs.h"
#include "config/mirror_settings.h"
#include "engine/engine_texts.h"
#include "engine/folder_warnings.h"
#include "engine/macintosh.h"
#include "engine/mirror_counters.h"
#include "engine/pass_display.h"
#include "engine/update_rule.h"
#include "engine/walk_stack.h"
#include "logs/daily_log.h"
#include "logs/log_lines.h"
#include "platform/clock.h"
#include "platform/file_system.h"

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

/// A copy long enough to be shown as it goes.
struct CopyInProgress {
  std::string path;  ///< the source file's full path
  uint64_t copied = 0;
  uint64_t total = 0;
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
    kept_ = {};
    pass_start_ = env_.clock.Now();
    versions_chain_.clear();
    versions_stamps_.clear();
    linked_targets_.clear();
  }
  const MirrorCounters& counters() const { return counters_; }
  /// Source files found locked so far in the pass or walk running now.
  const std::vector<std::string>& locked_so_far() const { return locked_temp_; }
  /// The pair being mirrored (1-based) and the number of pairs; 0 outside a pass.
  int current_pair() const { return current_pair_; }
  /// The pairs (1-based) the pass running now, or the last one, mirrored.
  const std::vector<int>& mirrored_pairs() const { return mirrored_pairs_; }
  /// The pair table the passes run over.
  const std::vector<FolderPair>& pairs() const { return env_.pairs; }
  /// The long copy under way, between two of its chunks; none otherwise.
  const std::optional<CopyInProgress>& copy_in_progress() const { return copy_in_progress_; }

 private:
  /// Which of a pair's two folders a report is about.
  enum class PairSide { kSource, kTarget };
  /// What the listing showed under a source name.
  enum class ListedAs { kRegularFile, kOther };
  /// Whether the target name was found taken just before a copy.
  enum class TargetName { kFree, kTaken };
  enum class Removal { kDone, kStopped, kFatal };
  enum class SecurityResult { kUnchanged, kCopied, kNotCopied };

  /// One source file of the folder being walked, and the name its copy gets.
  struct SourceFile {
    const platform::Folder* source;
    const platform::Folder* target;
    const std::string& name;
    std::string target_name;
    ListedAs listed;
    std::string target_path;  ///< the copy's full path, for reports
    /// A target file the copy becomes one more name of, instead of a copy.
    const std::string* link_to = nullptr;
  };

  /// A source file of several names of which the pair's walk has mirrored
  /// one: the target file its other names become.
  struct LinkedTarget {
    std::string path;  ///< the target file's full path
    uint64_t device = 0;
    uint64_t inode = 0;
    uint32_t names_left = 0;  ///< names not met yet; forgotten when none are
  };

  platform::LocalTime StartPass();
  PassEnd MirrorPairs(PassKind kind);
  void PublishLockedFiles();
  void PublishSummary(const platform::LocalTime& start);
  void FinishPass();

  void MirrorPair(FolderPair& pair, PassKind kind, PassEnd& end);
  /// Mirrors a pair whose roots opened, once its source root is found safe.
  /// False after the fatal stop.
  bool MirrorCheckedPair(FolderPair& pair, const platform::Folder& source,
                         const platform::Folder& target);
  bool SourceRootIsSafe(FolderPair& pair, const platform::Folder& source,
                        const platform::Folder& target, const platform::FolderIdentity& identity,
                        bool& has_entries);
  void ReportUnknownFolder(const std::string& folder, PairSide side);
  void ReportFolder(const std::string& folder, EngineText why);

  bool MirrorFilesOf(WalkStack& walk, std::vector<std::string>& sub_folders);
  void MirrorFile(WalkStack& walk, const platform::FolderEntry& entry, bool& target_swept);
  /// Clears the debris of interrupted copies from a target folder, once.
  void SweepTargetOnce(const platform::Folder& target, bool& target_swept);
  /// Replaces an existing target file when the update rule (or a hard link
  /// to keep) says so, aligns it otherwise; whether it now holds the
  /// source's content.
  bool UpdateOrAlign(WalkStack& walk, const SourceFile& file,
                     const platform::EntryInfo& source_info,
                     const platform::EntryInfo& target_info, bool& target_swept);
  /// Whether the target file now holds the source's content.
  bool CreateTargetFile(WalkStack& walk, const SourceFile& file);
  bool UpdateTargetFile(WalkStack& walk, const SourceFile& file, const UpdateDecision& update);
  /// With the pair's hard links kept: the target file of another name of
  /// the source file `info`, mirrored earlier in the walk; none otherwise.
  const LinkedTarget* LinkedTargetOf(const platform::EntryInfo& info) const;
  /// Notes that one name of the multiply-linked source file `info` was met,
  /// and where its target file is when it is the first and now current.
  void NoteLinkedName(const SourceFile& file, const platform::EntryInfo& info, bool current);
  void AlignUnchangedFile(WalkStack& walk, const SourceFile& file,
                          const platform::EntryInfo& source_info,
                          const platform::EntryInfo& target_info);
  void DeleteMovedSource(WalkStack& walk, const SourceFile& file,
                         const platform::EntryInfo& source_info,
                         const platform::EntryInfo& target_info);
  void PrepareSubFolder(WalkStack& walk, const std::string& name);
  void AlignExistingSubFolder(WalkStack& walk, const platform::Folder& source,
                              const platform::Folder& target, const std::string& name);
  void RemoveEmptiedSource(WalkStack& walk, const std::string& name);

  Removal RemoveObsoleteIn(WalkStack& walk, std::vector<std::string>& sub_folders);
  std::optional<std::vector<uint64_t>> SourceNameHashes(const platform::Folder& source);
  Removal RemoveObsoleteTargetFile(WalkStack& walk, const platform::Folder& target,
                                   const std::string& name);
  void RemoveVanishedFolder(WalkStack& walk);
  platform::Status RemoveTargetFolder(WalkStack& walk);
  bool SourceRootUnchanged(WalkStack& walk);
  void FatalStop(const std::string& source_folder);

  /// Whether an entry is left out of the pair: the versions folder at the
  /// target's root, and what the pair's exclusions name.
  bool LeftOut(const WalkStack& walk, std::string_view name, bool is_folder) const;
  /// The pass's folder of versions for the walk's current level, made as
  /// needed.
  platform::Result<const platform::Folder*> VersionsFolder(const WalkStack& walk);
  /// Makes the pass's own folder in a target's versions folder; its name.
  platform::Result<std::string> MakePassFolder(const platform::Folder& versions);
  /// Moves a target entry of the current level into the versions folder.
  platform::Status KeepVersion(const WalkStack& walk, const platform::Folder& folder,
                               const std::string& name);
  /// Puts back what KeepVersion moved, when what was to replace it failed.
  void RestoreVersion(const WalkStack& walk, const platform::Folder& folder,
                      const std::string& name);
  /// Removes the versions folders of the walk's level that hold nothing,
  /// up to the pass's own.
  void DropEmptyVersionFolders(const WalkStack& walk);
  void PurgeVersions(const std::string& target_root, const platform::Folder& target);
  /// The step of the times the target's file system keeps, probed at the
  /// first pass over each of its volumes.
  int64_t TimeGranularityOf(const platform::Folder& target);
  /// Gives the target folder `name` of the walk's current level its source
  /// folder's modification time; neither counted nor logged.
  void AlignFolderTime(WalkStack& walk, const std::string& name);
  /// The same for a pair's root folders.
  void AlignRootTime(const std::string& source, const std::string& target);

  enum class CopyOutcome { kCopied, kFailed, kLocked };
  bool CopyEntry(const SourceFile& file, TargetName target_name);
  CopyOutcome CopyWithStreamsAndSecurity(const SourceFile& file, TargetName target_name);
  CopyOutcome CopyThroughBangName(const SourceFile& file);
  CopyOutcome CopyToTarget(const SourceFile& file, const std::string& to_name,
                           TargetName target_name);
  SecurityResult CompareSecurity(const platform::Folder& source, std::string_view name,
                                 const platform::Folder& target, std::string_view target_name,
                                 PassEntry entry, const std::string& target_path);
  /// Writes the source's list onto the target; the write's failure, if it
  /// was tried and failed.
  std::optional<platform::Error> CopySecurity(const platform::Folder& source, std::string_view name,
                                              const platform::Folder* target,
                                              std::string_view target_name);

  /// Shows one entry event to the host.
  void Report(PassEventKind kind, PassEntry entry, std::string path, std::string error = {});
  /// Counts and shows an entry that could not be mirrored.
  void ReportFailure(PassEntry entry, std::string path, const platform::Error& error);
  /// Deletes a source whose copy just landed, as a move does.
  void RemoveCopiedSource(const SourceFile& file);

  bool LoggingFiles() const { return env_.settings.Logs && env_.settings.FichiersLogs; }
  /// Gives a target entry its source's permissions: counted, logged and
  /// reported, or reported as a failure.
  void AlignPermissions(const platform::Folder& target, const std::string& name,
                        uint32_t permissions, PassEntry entry, const std::string& target_path);
  /// Gives a target entry its source's owner and group, where Vorn runs as
  /// root and the setting asks for it; neither counted nor logged.
  void AlignOwner(const platform::Folder& target, const std::string& name,
                  const platform::EntryInfo& source_info, const platform::EntryInfo& target_info,
                  PassEntry entry, const std::string& target_path);
  void LogFileEvent(FileEvent event, const std::string& path);
  void LogFolderEvent(FolderEvent event, const std::string& path);
  std::string TrayTip(TrayState state) const;
  std::string TimeNow() const;

  MirrorEnvironment env_;
  PairContext context_;
  /// What the pair being mirrored keeps from harm.
  struct PairSafetyNet {
    /// Days a removed or replaced target file is kept in the versions
    /// folder; 0: it is not kept.
    int32_t keep_versions_days = 0;
    Exclusions excluded;
    bool ignore_hour_shift = false;
    /// The step of the times the target keeps (100-ns units).
    int64_t time_granularity = 1;
    /// Whether names of one source file stay names of one target file.
    bool hard_links = false;
    /// Whether the walk running now gives each folder it leaves its
    /// source's time: the pair's last walk, so nothing changes a folder after.
    bool align_folder_times = false;
  } kept_;
  /// The multiply-linked source files of the pair, by device and inode,
  /// while some of their names are still to be met.
  std::map<std::pair<uint64_t, uint64_t>, LinkedTarget> linked_targets_;
  /// The time step of each target volume, probed once.
  std::map<std::string, int64_t> granularity_of_volume_;
  MirrorCounters counters_;
  std::vector<std::string> locked_temp_;
  std::vector<std::string> locked_;
  int current_pair_ = 0;
  std::vector<int> mirrored_pairs_;
  std::optional<CopyInProgress> copy_in_progress_;
  /// The source root a pair's removal must find: the one checked before mirroring.
  std::optional<platform::FolderIdentity> expected_source_root_;
  std::optional<platform::FolderIdentity> source_root_identity_;
  /// When the pass (or a walk called alone) began: names its versions.
  platform::LocalTime pass_start_;
  /// The folders from a target root down to the versions folder last used,
  /// each with its name (the root with its path): the next level shares most
  /// of the chain, and only the rest is opened or made.
  std::vector<std::pair<std::string, std::unique_ptr<platform::Folder>>> versions_chain_;
  /// The folder of versions the running pass made at each target root.
  std::map<std::string, std::string> versions_stamps_;
  /// The day each target's versions were last purged.
  std::map<std::string, int64_t> versions_purged_on_;
};

}  // namespace vorn
