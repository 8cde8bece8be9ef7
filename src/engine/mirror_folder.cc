// MirrorFolder: brings a target tree up to date with its source, depth
// first, files of a folder before its sub-folders.

#include <cerrno>

#include "engine/mirror_engine.h"
#include "engine/update_rule.h"
#include "platform/path.h"

namespace vorn {

using platform::EntryType;
using platform::Folder;

void MirrorEngine::MirrorFolder(const std::string& source, const std::string& target) {
  WalkStack walk(env_.fs, source, target);
  TreeVisitor visitor;
  visitor.visit = [&](std::vector<std::string>& sub_folders) {
    return MirrorFilesOf(walk, sub_folders) ? VisitOutcome::kEnterSubFolders
                                            : VisitOutcome::kSkipSubFolders;
  };
  visitor.before_entering = [&](const std::string& name) { PrepareSubFolder(walk, name); };
  visitor.after_leaving = [&](const std::string& name) {
    if (context_.Deplacer) RemoveEmptiedSource(walk, name);
    if (kept_.align_folder_times) AlignFolderTime(walk, name);
  };
  (void)WalkTree(walk, visitor);
}

bool MirrorEngine::MirrorFilesOf(WalkStack& walk, std::vector<std::string>& sub_folders) {
  const Folder* source = walk.Source();
  if (source == nullptr) return true;
  auto reader = env_.fs.ReadFolder(*source);
  if (!reader.ok()) return true;
  const bool with_sub_folders = env_.settings.MiroirSousDossiers;
  // Debris of interrupted copies is cleared from the target once, before
  // the first copy into it.
  bool target_swept = false;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) {
    const std::string& name = entry.name;
    const bool is_folder = entry.type == EntryType::kFolder;
    if (name.empty() || LeftOut(walk, name, is_folder)) {
      // nothing to mirror
    } else if (with_sub_folders && is_folder) {
      if (name != "." && name != "..") sub_folders.push_back(name);
    } else if (!with_sub_folders && (is_folder || entry.hidden)) {
      // hidden files are mirrored only along with sub-folders
    } else if (env_.fs.IsCopyDebrisAt(*source, name)) {
      // debris of a copy interrupted by a crash, where a target is also a
      // source: never mirrored on
    } else {
      MirrorFile(walk, entry, target_swept);
      ++counters_.FilesSeen;
    }
    env_.control.Yield();
    if (env_.control.Idle()) return false;
  }
  return true;
}

void MirrorEngine::MirrorFile(WalkStack& walk, const platform::FolderEntry& entry,
                              bool& target_swept) {
  platform::FileSystem& fs = env_.fs;
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();
  const auto source_info = fs.LookupAt(*source, entry.name);
  if (!source_info.ok()) return;  // gone since the listing: nothing to compare
  SourceFile file{source,
                  target,
                  entry.name,
                  context_.Renommer
                      ? MacTargetName(fs, *source, entry.name, env_.extension_for_signature)
                      : entry.name,
                  entry.type == EntryType::kFile ? ListedAs::kRegularFile : ListedAs::kOther,
                  {}};
  file.target_path = platform::JoinPath(walk.TargetPath(), file.target_name);
  if (target == nullptr) {
    // The target folder could not be made or opened: nothing of this file
    // can land, and the reason is the folder's.
    auto opened = fs.OpenFolder(walk.TargetPath());
    ReportFailure(PassEntry::kFile, file.target_path,
                  opened.ok() ? platform::MakeError(ENOENT, "open folder", walk.TargetPath())
                              : opened.error());
    return;
  }
  // The lookup uses the source's name even when the copy gets another one.
  const auto target_info = fs.LookupAt(*target, entry.name);
  const bool linked_source =
      kept_.hard_links && source_info->type == platform::EntryType::kFile && source_info->links > 1;
  const LinkedTarget* linked = linked_source ? LinkedTargetOf(*source_info) : nullptr;
  if (linked != nullptr) file.link_to = &linked->path;
  bool current = true;
  if (!target_info.ok()) {
    SweepTargetOnce(*target, target_swept);
    current = CreateTargetFile(walk, file);
  } else if (linked != nullptr && target_info->inode == linked->inode &&
             target_info->device == linked->device) {
    AlignUnchangedFile(walk, file, *source_info, *target_info);
  } else {
    current = UpdateOrAlign(walk, file, *source_info, *target_info, target_swept);
  }
  if (linked_source) NoteLinkedName(file, *source_info, current);
}

void MirrorEngine::SweepTargetOnce(const Folder& target, bool& target_swept) {
  // A copy interrupted by a crash can leave its temporary behind in the
  // folder it was writing to; the next pass copies there again and
  // clears it first. Not counted and not logged: nothing of the user's goes.
  if (!target_swept) {
    target_swept = true;
    platform::DeleteCopyTemporaries(env_.fs, target);
  }
}

bool MirrorEngine::UpdateOrAlign(WalkStack& walk, const SourceFile& file,
                                 const platform::EntryInfo& source_info,
                                 const platform::EntryInfo& target_info, bool& target_swept) {
  const UpdateDecision update = DecideUpdate({source_info.last_write, source_info.size},
                                             {target_info.last_write, target_info.size},
                                             {.newer_only = context_.Nouveau,
                                              .tolerance = context_.NoMilliseconds,
                                              .max_interval = env_.settings.MaxTimeInterval,
                                              .granularity = kept_.time_granularity,
                                              .ignore_hour_shift = kept_.ignore_hour_shift});
  // A name of a file already mirrored under another name becomes a name of
  // that copy, even where its own copy looks up to date.
  if (!update.due && file.link_to == nullptr) {
    AlignUnchangedFile(walk, file, source_info, target_info);
    return true;
  }
  // Read-only is the one attribute that could stand in the way here.
  if ((target_info.attributes & platform::attribute::kReadOnly) != 0) {
    (void)env_.fs.MakeWritableAt(*file.target, file.name);
  }
  SweepTargetOnce(*file.target, target_swept);
  return UpdateTargetFile(walk, file, update);
}

const MirrorEngine::LinkedTarget* MirrorEngine::LinkedTargetOf(
    const platform::EntryInfo& info) const {
  const auto found = linked_targets_.find({info.device, info.inode});
  return found == linked_targets_.end() ? nullptr : &found->second;
}

void MirrorEngine::NoteLinkedName(const SourceFile& file, const platform::EntryInfo& info,
                                  bool current) {
  const auto found = linked_targets_.find({info.device, info.inode});
  if (found != linked_targets_.end()) {
    if (--found->second.names_left == 0) linked_targets_.erase(found);
    return;
  }
  // Only a target that holds the source's content may take its other names.
  if (!current) return;
  const auto made = env_.fs.LookupAt(*file.target, file.target_name);
  if (!made.ok() || made->type != platform::EntryType::kFile) return;
  linked_targets_.emplace(
      std::pair{info.device, info.inode},
      LinkedTarget{file.target_path, made->device, made->inode, info.links - 1});
}

bool MirrorEngine::CreateTargetFile(WalkStack& walk, const SourceFile& file) {
  if (!CopyEntry(file, TargetName::kFree)) return false;
  ++counters_.FilesCreated;
  if (LoggingFiles()) {
    LogFileEvent(FileEvent::kCreated, platform::JoinPath(walk.TargetPath(), file.name));
  }
  Report(PassEventKind::kCreated, PassEntry::kFile, file.target_path);
  if (context_.Deplacer) RemoveCopiedSource(file);
  return true;
}

bool MirrorEngine::UpdateTargetFile(WalkStack& walk, const SourceFile& file,
                                    const UpdateDecision& update) {
  // The file about to be replaced is kept as a version first; it comes back
  // if its replacement does not land, and stays if it cannot be kept.
  bool kept = false;
  if (kept_.keep_versions_days > 0) {
    const platform::Status moved = KeepVersion(walk, *file.target, file.target_name);
    if (!moved && moved.error().code != ENOENT) {
      ReportFailure(PassEntry::kFile, file.target_path, moved.error());
      return false;
    }
    kept = moved.ok();
  }
  if (!CopyEntry(file, kept ? TargetName::kFree : TargetName::kTaken)) {
    if (kept) RestoreVersion(walk, *file.target, file.target_name);
    return false;
  }
  ++counters_.FilesModified;
  if (LoggingFiles()) {
    LogFileEvent(FileEvent::kModified, platform::JoinPath(walk.TargetPath(), file.name));
    if (update.time_delta) {
      env_.log.AppendLogLine(TimeDeltaLine(*update.time_delta, env_.settings.MaxTimeInterval));
    }
  }
  Report(PassEventKind::kModified, PassEntry::kFile, file.target_path);
  if (context_.Deplacer) RemoveCopiedSource(file);
  return true;
}

void MirrorEngine::AlignPermissions(const platform::Folder& target, const std::string& name,
                                    uint32_t permissions, PassEntry entry,
                                    const std::string& target_path) {
  if (const platform::Status set = env_.fs.SetPermissionsAt(target, name, permissions); !set) {
    ReportFailure(entry, target_path, set.error());
    return;
  }
  ++counters_.AttributesChanged;
  if (LoggingFiles()) {
    if (entry == PassEntry::kFile) {
      LogFileEvent(FileEvent::kAttributesModified, target_path);
    } else {
      LogFolderEvent(FolderEvent::kAttributesModified, target_path);
    }
  }
  Report(PassEventKind::kAttributesChanged, entry, target_path);
}

void MirrorEngine::AlignOwner(const Folder& target, const std::string& name,
                              const platform::EntryInfo& source_info,
                              const platform::EntryInfo& target_info, PassEntry entry,
                              const std::string& target_path) {
  if (!env_.system.administrator || !env_.settings.CopierProprietaire) return;
  if (source_info.uid == target_info.uid && source_info.gid == target_info.gid) return;
  const platform::Status set = env_.fs.SetOwnerAt(target, name, source_info.uid, source_info.gid);
  // A target file system that keeps no owners (FAT, a share) refuses every
  // time: that is no failure to report on every pass.
  if (!set && set.error().code != EPERM && set.error().code != EINVAL &&
      set.error().code != EOPNOTSUPP) {
    ReportFailure(entry, target_path, set.error());
  }
}

void MirrorEngine::AlignUnchangedFile(WalkStack& walk, const SourceFile& file,
                                      const platform::EntryInfo& source_info,
                                      const platform::EntryInfo& target_info) {
  const MirrorSettings& settings = env_.settings;
  const std::string& name = file.name;
  const std::string target_path = platform::JoinPath(walk.TargetPath(), name);
  if (settings.CopierAttributs && source_info.permissions != target_info.permissions) {
    AlignPermissions(*file.target, name, source_info.permissions, PassEntry::kFile, target_path);
  }
  if (target_info.type == source_info.type) {
    AlignOwner(*file.target, name, source_info, target_info, PassEntry::kFile, target_path);
  }
  if (context_.Deplacer) {
    DeleteMovedSource(walk, file, source_info, target_info);
  } else if (env_.system.nt && settings.CopierSecurite && settings.CopierSecuriteTout &&
             CompareSecurity(*file.source, name, *file.target, name, PassEntry::kFile,
                             target_path) == SecurityResult::kCopied &&
             LoggingFiles()) {
    LogFileEvent(FileEvent::kSecurityModified, target_path);
  }
}

void MirrorEngine::DeleteMovedSource(WalkStack& walk, const SourceFile& file,
                                     const platform::EntryInfo& source_info,
                                     const platform::EntryInfo& target_info) {
  // Only a target of the source's own kind holds its content: a link or a
  // folder in the way is no copy, and the source must stay.
  if (target_info.type != source_info.type) return;
  if ((source_info.attributes & platform::attribute::kReadOnly) != 0) {
    (void)env_.fs.MakeWritableAt(*file.source, file.name);
  }
  const std::string source_path = platform::JoinPath(walk.SourcePath(), file.name);
  if (const platform::Status deleted = env_.fs.DeleteFileAt(*file.source, file.name); !deleted) {
    ReportFailure(PassEntry::kFile, source_path, deleted.error());
    return;
  }
  ++counters_.FilesRemoved;
  if (LoggingFiles()) {
    LogFileEvent(FileEvent::kDeleted, platform::JoinPath(walk.TargetPath(), file.name));
  }
  Report(PassEventKind::kRemoved, PassEntry::kFile, source_path);
}

void MirrorEngine::PrepareSubFolder(WalkStack& walk, const std::string& name) {
  platform::FileSystem& fs = env_.fs;
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();
  if (source == nullptr) return;  // the source folder went away during the walk
  if (target != nullptr && fs.LookupAt(*target, name).ok()) {
    AlignExistingSubFolder(walk, *source, *target, name);
    return;
  }
  const std::string target_path = platform::JoinPath(walk.TargetPath(), name);
  const platform::Status created =
      target != nullptr ? fs.CreateFolderAt(*target, name) : platform::Status();
  if (target != nullptr && !created) {
    // Its files fail in turn, each with the folder's reason.
    ReportFailure(PassEntry::kFolder, target_path, created.error());
  } else if (target != nullptr) {
    ++counters_.FoldersCreated;
    if (LoggingFiles()) LogFolderEvent(FolderEvent::kCreated, target_path);
    Report(PassEventKind::kCreated, PassEntry::kFolder, target_path);
    const auto source_info = fs.LookupAt(*source, name);
    const auto made = fs.LookupAt(*target, name);
    if (source_info.ok() && made.ok()) {
      AlignOwner(*target, name, *source_info, *made, PassEntry::kFolder, target_path);
    }
    if (env_.system.nt && env_.settings.CopierSecurite) {
      if (const auto failed = CopySecurity(*source, name, target, name)) {
        ReportFailure(PassEntry::kFolder, target_path, *failed);
      }
    }
  }
  if (env_.system.nt && target != nullptr) CopyFolderInfoStream(fs, *source, name, *target);
}

void MirrorEngine::AlignExistingSubFolder(WalkStack& walk, const Folder& source,
                                          const Folder& target, const std::string& name) {
  platform::FileSystem& fs = env_.fs;
  const MirrorSettings& settings = env_.settings;
  const std::string target_path = platform::JoinPath(walk.TargetPath(), name);
  if (settings.CopierAttributs || (env_.system.administrator && settings.CopierProprietaire)) {
    const auto source_info = fs.LookupAt(source, name);
    const auto target_info = fs.LookupAt(target, name);
    if (source_info.ok() && target_info.ok()) {
      if (settings.CopierAttributs && source_info->permissions != target_info->permissions) {
        AlignPermissions(target, name, source_info->permissions, PassEntry::kFolder, target_path);
      }
      if (target_info->IsFolder()) {
        AlignOwner(target, name, *source_info, *target_info, PassEntry::kFolder, target_path);
      }
    }
  }
  if (env_.system.nt && settings.CopierSecurite &&
      (settings.CopierSecuriteDossiers || settings.CopierSecuriteTout) &&
      CompareSecurity(source, name, target, name, PassEntry::kFolder, target_path) ==
          SecurityResult::kCopied &&
      LoggingFiles()) {
    LogFolderEvent(FolderEvent::kSecurityModified, target_path);
  }
}

void MirrorEngine::RemoveEmptiedSource(WalkStack& walk, const std::string& name) {
  const Folder* source = walk.Source();
  if (source == nullptr) return;
  const std::string source_path = platform::JoinPath(walk.SourcePath(), name);
  if (const platform::Status removed = env_.fs.RemoveFolderAt(*source, name); !removed) {
    // A folder that still holds something (a locked file, one that failed)
    // stays, as it must.
    if (removed.error().code != ENOTEMPTY && removed.error().code != EEXIST) {
      ReportFailure(PassEntry::kFolder, source_path, removed.error());
    }
    return;
  }
  ++counters_.FoldersRemoved;
  if (LoggingFiles()) {
    LogFolderEvent(FolderEvent::kEmptyFolderDeleted, source_path + platform::kSeparator);
  }
  Report(PassEventKind::kRemoved, PassEntry::kFolder, source_path);
}

}  // namespace vorn
