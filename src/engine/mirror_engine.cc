// The pass driver: one pass over the pair table, the unknown-folder reports
// and the summary.

#include "engine/mirror_engine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <unordered_set>

#include "engine/engine_texts.h"
#include "engine/summary.h"
#include "config/limits.h"
#include "engine/versions.h"
#include "platform/path.h"
#include "base/number_reading.h"
#include "base/constants.h"
#include "base/list_order.h"

namespace vorn {
namespace {

std::string WithSeparator(const std::string& folder) {
  return folder.empty() || folder.back() == platform::kSeparator ? folder
                                                                 : folder + platform::kSeparator;
}

}  // namespace

MirrorEngine::MirrorEngine(MirrorEnvironment environment) : env_(std::move(environment)) {}

std::string MirrorEngine::TrayTip(TrayState state) const {
  const EngineText tip =
      state == TrayState::kMirroring ? EngineText::kTrayMirroring : EngineText::kTrayWaiting;
  return ProductLabel() + std::string(Tr(tip, env_.settings.Langue));
}

std::string MirrorEngine::TimeNow() const {
  const platform::LocalTime now = env_.clock.Now();
  return FormatTimeOfDay(now.hour, now.minute, now.second);
}

void MirrorEngine::LogFileEvent(FileEvent event, const std::string& path) {
  env_.log.AppendLogLine(FileEventLine(event, path, env_.settings.Langue));
}

void MirrorEngine::LogFolderEvent(FolderEvent event, const std::string& path) {
  env_.log.AppendLogLine(FolderEventLine(event, path, env_.settings.Langue));
}

void MirrorEngine::Report(PassEventKind kind, PassEntry entry, std::string path,
                          std::string error) {
  env_.host.ReportEntry(PassEvent{kind, entry, current_pair_, std::move(path), std::move(error)});
}

void MirrorEngine::ReportFailure(PassEntry entry, std::string path, const platform::Error& error) {
  ++counters_.FilesFailed;
  Report(PassEventKind::kFailed, entry, std::move(path), error.Describe());
}

PassEnd MirrorEngine::RunMirrorPass(PassKind kind) {
  const platform::LocalTime start = StartPass();
  const PassEnd end = MirrorPairs(kind);
  if (end == PassEnd::kFatalStop) return end;  // no summary, no further pairs
  PublishLockedFiles();
  PublishSummary(start);
  FinishPass();
  if (env_.settings.ArretAutomatique) {
    env_.control.Yield();
    return PassEnd::kEndProgram;
  }
  return end;
}

platform::LocalTime MirrorEngine::StartPass() {
  PassDisplay& host = env_.host;
  const platform::LocalTime start = env_.clock.Now();
  host.SetTimerEnabled(false);
  host.ShowPassPosition("");
  host.SetTray(TrayState::kMirroring, TrayTip(TrayState::kMirroring));
  locked_temp_.clear();
  host.SetWaitProgress(0);
  if (env_.settings.Logs) {
    env_.log.FixDay(start);
    env_.log.OpenDailyLog();
  }
  counters_ = {};
  mirrored_pairs_.clear();
  pass_start_ = start;
  versions_chain_.clear();
  versions_stamps_.clear();
  return start;
}

PassEnd MirrorEngine::MirrorPairs(PassKind kind) {
  PassDisplay& host = env_.host;
  const int pair_count = static_cast<int>(env_.pairs.size());
  if (pair_count > 0) host.SetCopyProgressMaximum(pair_count);
  PassEnd end = PassEnd::kFinished;
  for (int i = 1; i <= pair_count; ++i) {
    current_pair_ = i;
    host.SetCopyProgress(i);
    host.ShowPassPosition(std::to_string(i) + "/" + std::to_string(pair_count));
    MirrorPair(env_.pairs[static_cast<size_t>(i) - 1], kind, end);
    if (end == PassEnd::kFatalStop) {
      current_pair_ = 0;
      return end;
    }
    env_.control.Yield();
    if (env_.control.Idle()) break;
  }
  current_pair_ = 0;
  host.SetCopyProgress(0);
  return end;
}

void MirrorEngine::PublishLockedFiles() {
  // Files already locked in the previous pass are not logged again.
  if (LoggingFiles()) {
    const std::unordered_set<std::string> before(locked_.begin(), locked_.end());
    for (const std::string& path : locked_temp_) {
      if (before.count(path) == 0) {
        env_.log.AppendLogLine(LockedFileLine(path, env_.settings.Langue));
      }
    }
  }
  locked_ = locked_temp_;
  // Case-blind order, as a sorted list box shows it.
  std::stable_sort(locked_.begin(), locked_.end(),
                   [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  env_.host.ShowLockedFiles(locked_);
}

void MirrorEngine::PublishSummary(const platform::LocalTime& start) {
  const MirrorSettings& settings = env_.settings;
  const platform::LocalTime finish = env_.clock.Now();
  SummaryContext context;
  context.language = settings.Langue;
  context.long_date = env_.clock.LongDate(finish);
  context.time = FormatTimeOfDay(finish.hour, finish.minute, finish.second);
  context.elapsed_seconds = std::abs(finish.SecondsOfDay() - start.SecondsOfDay());
  context.sub_folders = settings.MiroirSousDossiers;
  context.security_shown = env_.system.nt && settings.CopierSecurite;
  context.attributes = settings.CopierAttributs;
  const SummaryLines lines = BuildSummaryLines(counters_, context);
  env_.host.ShowSummary(lines.Joined());
  if (settings.Logs && counters_.ChangedSomething()) {
    env_.log.AppendLogLine(PassSummaryLine(lines.first, lines.second));
  }
}

void MirrorEngine::FinishPass() {
  PassDisplay& host = env_.host;
  host.ShowPassPosition("");
  host.SetTimerEnabled(!env_.control.Idle());
  host.RefreshFileLists(counters_.FilesCreated >= 1 || counters_.FilesModified >= 1 ||
                        counters_.FilesRemoved >= 1);
  host.SetTray(TrayState::kWaiting, TrayTip(TrayState::kWaiting));
}

void MirrorEngine::MirrorPair(FolderPair& pair, PassKind kind, PassEnd& end) {
  if (pair.Source.empty()) {
    ++counters_.InvalidSourceFolders;
    return;
  }
  if (pair.Target.empty()) {
    ++counters_.InvalidTargetFolders;
    return;
  }
  ++counters_.SourceFolders;
  // A root given as a link is the user's own path and is followed; a root
  // that is a file, or a link to nothing, is no folder to mirror.
  auto source = env_.fs.OpenFolder(pair.Source);
  auto target = env_.fs.OpenFolder(pair.Target);
  if (!source.ok()) {
    ++counters_.InvalidSourceFolders;
    ReportUnknownFolder(pair.Source, PairSide::kSource);
    if (!target.ok()) {
      ++counters_.InvalidTargetFolders;
      ReportUnknownFolder(pair.Target, PairSide::kTarget);
    }
    return;
  }
  if (!target.ok()) {
    ++counters_.InvalidTargetFolders;
    ReportUnknownFolder(pair.Target, PairSide::kTarget);
    return;
  }
  if (pair.Danger != PairDanger::kNone) {
    // Refused when the pairs were loaded, and said why there.
    ++counters_.InvalidTargetFolders;
    return;
  }
  if (!IsOn(pair.Enable)) return;  // checked and reported all the same

  const int64_t countdown = static_cast<int64_t>(pair.PassCountdown) - 1;
  if (countdown >= 1 && kind == PassKind::kTimed) {
    pair.PassCountdown = static_cast<int32_t>(countdown);
    return;
  }
  pair.PassCountdown = ReadLong(pair.NbTemporisations);
  mirrored_pairs_.push_back(current_pair_);
  context_ = PairContext{IsOn(pair.Deplacer), IsOn(pair.Renommer), IsOn(pair.Effacer),
                         IsOn(pair.Nouveau),  IsOn(pair.Enable),   IsOn(pair.NoMilliseconds)};
  kept_.keep_versions_days =
      std::clamp(ReadLong(pair.KeepVersions), 0, kKeepVersionsLimits.maximum);
  kept_.excluded = Exclusions(pair.Exclusions);
  kept_.ignore_hour_shift = IsOn(pair.IgnoreHourShift);
  kept_.hard_links = IsOn(pair.HardLinks);
  linked_targets_.clear();
  if (!MirrorCheckedPair(pair, **source, **target)) end = PassEnd::kFatalStop;
}

bool MirrorEngine::MirrorCheckedPair(FolderPair& pair, const platform::Folder& source,
                                     const platform::Folder& target) {
  const auto identity = env_.fs.IdentityOf(source);
  bool has_entries = false;
  if (!identity.ok() || !SourceRootIsSafe(pair, source, target, *identity, has_entries)) {
    ++counters_.InvalidSourceFolders;
    return true;
  }
  if (kept_.keep_versions_days > 0) PurgeVersions(pair.Target, target);
  kept_.time_granularity = TimeGranularityOf(target);
  const bool removing = context_.Effacer && !context_.Deplacer;
  kept_.align_folder_times = !removing;
  MirrorFolder(pair.Source, pair.Target);
  if (has_entries && pair.SourceVolume != identity->volume) {
    pair.SourceVolume = identity->volume;
    if (env_.save_pair_key) env_.save_pair_key(pair, "SourceVolume", pair.SourceVolume);
  }
  bool removed = true;
  if (removing) {
    kept_.align_folder_times = true;
    expected_source_root_ = *identity;
    removed = RemoveObsoleteEntries(pair.Source, pair.Target);
    expected_source_root_.reset();
  }
  kept_.align_folder_times = false;
  if (removed) AlignRootTime(pair.Source, pair.Target);
  return removed;
}

bool MirrorEngine::SourceRootIsSafe(FolderPair& pair, const platform::Folder& source,
                                    const platform::Folder& target,
                                    const platform::FolderIdentity& identity, bool& has_entries) {
  // Whether a folder holds anything; nothing when it cannot be listed.
  const auto holds_entries = [this](const platform::Folder& folder) -> std::optional<bool> {
    auto reader = env_.fs.ReadFolder(folder);
    if (!reader.ok()) return std::nullopt;
    platform::FolderEntry entry;
    while ((*reader)->Next(entry)) {
      if (entry.name != "." && entry.name != "..") return true;
    }
    if ((*reader)->error()) return std::nullopt;
    return false;
  };
  const std::optional<bool> source_entries = holds_entries(source);
  if (!source_entries) {
    ReportFolder(pair.Source, EngineText::kSourceUnreadable);
    return false;
  }
  has_entries = *source_entries;
  if (!context_.Effacer || context_.Deplacer) return true;  // nothing of the target can go

  // On Linux a vanished disk or share leaves its empty mount point behind,
  // and the source root still "exists": what would empty the target is
  // taken for a vanished source unless the user said otherwise.
  if (!pair.SourceVolume.empty() && pair.SourceVolume != identity.volume) {
    ReportFolder(pair.Source, EngineText::kSourceOnOtherVolume);
    return false;
  }
  if (!has_entries && !IsOn(pair.SourceVideAutorise) && holds_entries(target).value_or(true)) {
    ReportFolder(pair.Source, EngineText::kSourceEmpty);
    return false;
  }
  return true;
}

void MirrorEngine::ReportUnknownFolder(const std::string& folder, PairSide side) {
  Report(PassEventKind::kMissing, PassEntry::kFolder, folder);
  ReportFolder(folder,
               side == PairSide::kSource ? EngineText::kUnknownSource : EngineText::kUnknownTarget);
}

void MirrorEngine::ReportFolder(const std::string& folder, EngineText why) {
  RaiseFolderWarning(TimeNow() + std::string(Tr(why, env_.settings.Langue)), WithSeparator(folder),
                     env_.settings, env_.warnings);
}

void MirrorEngine::FatalStop(const std::string& source_folder) {
  const std::string message = FatalWarningMessage(
      TimeNow(), Tr(EngineText::kSourceVanishedDuringRemoval, env_.settings.Langue));
  RaiseFolderWarning(message, WithSeparator(source_folder), env_.settings, env_.warnings);
}

}  // namespace vorn
