// MirrorFolder: brings a target tree up to date with its source, depth
// first, files of a folder before its sub-folders.

#include <cerrno>

#include "engine/mirror_engine.h"
#include "engine/update_rule.h"
#include "logs/log_texts.h"
#include "platform/path.h"

namespace vorn {

using platform::EntryType;
using platform::Folder;

void MirrorEngine::MirrorFolder(const std::string& source, const std::string& target) {
  WalkStack walk(env_.fs, source, target);
  // The walk keeps its own stack of levels instead of recursing, so a very
  // deep tree cannot exhaust the thread's stack.
  std::vector<Frame> frames(1);
  if (!MirrorFilesOf(walk, frames.back())) frames.back().sub_folders.clear();
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next < frame.sub_folders.size()) {
      const std::string& name = frame.sub_folders[frame.next++];
      PrepareSubFolder(walk, name);
      walk.Descend(name);
      frames.emplace_back();
      // A stop request ends the sub-folder's own walk after its first entry;
      // the folders that remain above are still prepared and entered.
      if (!MirrorFilesOf(walk, frames.back())) frames.back().sub_folders.clear();
      continue;
    }
    frames.pop_back();
    if (frames.empty()) break;
    walk.Ascend();
    const Frame& parent = frames.back();
    if (context_.Deplacer) RemoveEmptiedSource(walk, parent.sub_folders[parent.next - 1]);
  }
}

bool MirrorEngine::MirrorFilesOf(WalkStack& walk, Frame& frame) {
  const Folder* source = walk.Source();
  if (source == nullptr) return true;
  auto reader = env_.fs.ReadFolder(*source);
  if (!reader.ok()) return true;
  const bool sub_folders = env_.settings.MiroirSousDossiers;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) {
    const std::string& name = entry.name;
    const bool is_folder = entry.type == EntryType::kFolder;
    if (name.empty()) {
      // nothing to mirror
    } else if (sub_folders && is_folder) {
      if (name != "." && name != "..") frame.sub_folders.push_back(name);
    } else if (!sub_folders && (is_folder || entry.hidden)) {
      // hidden files are mirrored only along with sub-folders
    } else if (env_.fs.IsCopyDebrisAt(*source, name)) {
      // debris of a copy interrupted by a crash, where a target is also a
      // source: never mirrored on
    } else {
      MirrorFile(walk, entry, frame);
      ++counters_.FilesSeen;
    }
    env_.control.Yield();
    if (env_.control.Idle()) return false;
  }
  return true;
}

void MirrorEngine::MirrorFile(WalkStack& walk, const platform::FolderEntry& entry, Frame& frame) {
  const std::string& name = entry.name;
  const bool regular = entry.type == EntryType::kFile;
  platform::FileSystem& fs = env_.fs;
  const MirrorSettings& settings = env_.settings;
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();

  const auto source_info = fs.LookupAt(*source, name);
  if (!source_info.ok()) return;  // gone since the listing: nothing to compare
  const std::string target_name =
      context_.Renommer ? MacTargetName(fs, *source, name, env_.extension_for_signature) : name;
  const auto prepare_target = [&] {
    // A copy interrupted by a crash can leave its temporary behind in the
    // folder it was writing to; the next pass copies there again and
    // clears it first.
    if (!frame.target_swept && target != nullptr) {
      frame.target_swept = true;
      // Not counted and not logged: nothing of the user's goes.
      platform::DeleteCopyTemporaries(fs, *target);
    }
  };
  // The lookup uses the source's name even when the copy gets another one.
  const auto target_info =
      target != nullptr ? fs.LookupAt(*target, name)
                        : platform::Result<platform::EntryInfo>(platform::Error{ENOENT, "", ""});

  if (!target_info.ok()) {
    prepare_target();
    if (CopyEntry(source, name, target, target_name, false, regular)) {
      ++counters_.FilesCreated;
      if (LoggingFiles()) {
        LogFileEvent(Tr(LogText::kCreation, settings.Langue),
                     platform::JoinPath(walk.TargetPath(), name));
      }
    }
    return;
  }

  const UpdateDecision update = DecideUpdate(source_info->last_write, target_info->last_write,
                                             source_info->size, target_info->size, context_.Nouveau,
                                             context_.NoMilliseconds, settings.MaxTimeInterval);
  if (update.due) {
    // Read-only is the one attribute that could stand in the way here.
    if ((target_info->attributes & platform::attribute::kReadOnly) != 0) {
      (void)fs.MakeWritableAt(*target, name);
    }
    prepare_target();
    if (CopyEntry(source, name, target, target_name, true, regular)) {
      ++counters_.FilesModified;
      if (LoggingFiles()) {
        LogFileEvent(Tr(LogText::kModification, settings.Langue),
                     platform::JoinPath(walk.TargetPath(), name));
        if (update.time_delta) {
          env_.log.AppendLogLine(
              "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<small>Time delta between source and target files=" +
              std::to_string(*update.time_delta) +
              " [in 100-nanosecond intervals; MaxTimeInterval=" +
              std::to_string(settings.MaxTimeInterval) + "]</small><br>");
        }
      }
    }
    return;
  }

  if (settings.CopierAttributs && source_info->permissions != target_info->permissions &&
      fs.SetPermissionsAt(*target, name, source_info->permissions).ok()) {
    ++counters_.AttributesChanged;
    if (LoggingFiles()) {
      LogFileEvent(std::string(Tr(LogText::kModification, settings.Langue)) + " " +
                       std::string(Tr(LogText::kAttributes, settings.Langue)),
                   platform::JoinPath(walk.TargetPath(), name));
    }
  }
  if (context_.Deplacer) {
    // Only a target of the source's own kind holds its content: a link or a
    // folder in the way is no copy, and the source must stay.
    if (target_info->type != source_info->type) return;
    if ((source_info->attributes & platform::attribute::kReadOnly) != 0) {
      (void)fs.MakeWritableAt(*source, name);
    }
    if (fs.DeleteFileAt(*source, name).ok()) {
      ++counters_.FilesRemoved;
      if (LoggingFiles()) {
        LogFileEvent(Tr(LogText::kDeletion, settings.Langue),
                     platform::JoinPath(walk.TargetPath(), name));
      }
    }
  } else if (env_.system.nt && settings.CopierSecurite && settings.CopierSecuriteTout &&
             CompareSecurity(*source, name, *target, name) == SecurityResult::kCopied &&
             LoggingFiles()) {
    LogFileEvent(Tr(LogText::kSecurity, settings.Langue),
                 platform::JoinPath(walk.TargetPath(), name));
  }
}

void MirrorEngine::PrepareSubFolder(WalkStack& walk, const std::string& name) {
  platform::FileSystem& fs = env_.fs;
  const MirrorSettings& settings = env_.settings;
  const Language language = settings.Langue;
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();
  if (source == nullptr) return;  // the source folder went away during the walk
  const bool security = env_.system.nt && settings.CopierSecurite;

  if (target != nullptr && fs.LookupAt(*target, name).ok()) {
    if (settings.CopierAttributs) {
      const auto source_info = fs.LookupAt(*source, name);
      const auto target_info = fs.LookupAt(*target, name);
      if (source_info.ok() && target_info.ok() &&
          source_info->permissions != target_info->permissions &&
          fs.SetPermissionsAt(*target, name, source_info->permissions).ok()) {
        ++counters_.AttributesChanged;
        if (LoggingFiles()) {
          LogFolderEvent(std::string(Tr(LogText::kModification, language)) + " " +
                             std::string(Tr(LogText::kAttributes, language)) + " " +
                             std::string(Tr(LogText::kFolder, language)),
                         platform::JoinPath(walk.TargetPath(), name));
        }
      }
    }
    if (security && (settings.CopierSecuriteDossiers || settings.CopierSecuriteTout) &&
        CompareSecurity(*source, name, *target, name) == SecurityResult::kCopied &&
        LoggingFiles()) {
      LogFolderEvent(std::string(Tr(LogText::kSecurity, language)) + " " +
                         std::string(Tr(LogText::kFolder, language)),
                     platform::JoinPath(walk.TargetPath(), name));
    }
    return;
  }

  if (target != nullptr && fs.CreateFolderAt(*target, name).ok()) {
    ++counters_.FoldersCreated;
    if (LoggingFiles()) {
      LogFolderEvent(std::string(Tr(LogText::kCreation, language)) + " " +
                         std::string(Tr(LogText::kFolder, language)),
                     platform::JoinPath(walk.TargetPath(), name));
    }
    if (security) CopySecurity(*source, name, target, name);
  }
  if (env_.system.nt && target != nullptr) CopyFolderInfoStream(fs, *source, name, *target);
}

void MirrorEngine::RemoveEmptiedSource(WalkStack& walk, const std::string& name) {
  const Folder* source = walk.Source();
  if (source == nullptr || !env_.fs.RemoveFolderAt(*source, name).ok()) return;
  ++counters_.FoldersRemoved;
  if (LoggingFiles()) {
    const Language language = env_.settings.Langue;
    LogFolderEvent(std::string(Tr(LogText::kDeletion, language)) + " " +
                       std::string(Tr(LogText::kEmptyFolder, language)),
                   platform::JoinPath(walk.SourcePath(), name) + platform::kSeparator);
  }
}

}  // namespace vorn
