// RemoveObsoleteEntries: deletes target entries the source no longer has,
// refusing to when the source root itself has vanished.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/mirror_engine.h"
#include "platform/path.h"

namespace vorn {
namespace {

// 64-bit FNV-1a: the same on every platform and word size.
uint64_t NameHash(std::string_view name) {
  uint64_t hash = 14695981039346656037ULL;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  return hash;
}

}  // namespace

using platform::EntryType;
using platform::Folder;

bool MirrorEngine::RemoveObsoleteEntries(const std::string& source, const std::string& target) {
  WalkStack walk(env_.fs, source, target);
  // Every deletion first checks that the root's path still leads to the
  // source the pass checked before mirroring (or, called alone, to the
  // folder this walk opened): the disk may go at any moment.
  source_root_identity_ = expected_source_root_;
  if (const Folder* root = walk.Source(); !source_root_identity_ && root != nullptr) {
    if (auto identity = env_.fs.IdentityOf(*root); identity.ok()) {
      source_root_identity_ = std::move(*identity);
    }
  }
  TreeVisitor visitor;
  visitor.visit = [&](std::vector<std::string>& sub_folders) {
    switch (RemoveObsoleteIn(walk, sub_folders)) {
      case Removal::kDone:
        return VisitOutcome::kEnterSubFolders;
      case Removal::kStopped:
        return VisitOutcome::kSkipSubFolders;
      case Removal::kFatal:
        break;
    }
    return VisitOutcome::kEndWalk;
  };
  visitor.after_leaving = [&](const std::string& name) {
    if (kept_.align_folder_times) AlignFolderTime(walk, name);
  };
  return WalkTree(walk, visitor);
}

MirrorEngine::Removal MirrorEngine::RemoveObsoleteIn(WalkStack& walk,
                                                     std::vector<std::string>& sub_folders) {
  platform::FileSystem& fs = env_.fs;
  const bool with_sub_folders = env_.settings.MiroirSousDossiers;
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();
  // Only a source folder known to be gone makes its target's entries
  // obsolete. One that could not be opened or listed (no permission, an I/O
  // error, a link in its place) tells nothing: everything here and below
  // stays for this pass.
  const bool source_absent = source == nullptr && walk.SourceAbsent();
  if (source == nullptr && !source_absent) return Removal::kDone;
  std::vector<uint64_t> source_hashes;
  if (source != nullptr && target != nullptr) {
    auto hashes = SourceNameHashes(*source);
    if (!hashes) return Removal::kDone;
    source_hashes = std::move(*hashes);
  }
  const auto in_source = [&](const std::string& name) {
    return !source_absent &&
           std::binary_search(source_hashes.begin(), source_hashes.end(), NameHash(name));
  };

  if (target != nullptr) {
    auto reader = fs.ReadFolder(*target);
    platform::FolderEntry entry;
    while (reader.ok() && (*reader)->Next(entry)) {
      const std::string& name = entry.name;
      const bool is_folder = entry.type == EntryType::kFolder;
      if (!with_sub_folders && (is_folder || entry.hidden)) {
        // hidden target files are never removed in this mode
      } else if (LeftOut(walk, name, is_folder)) {
        // kept, and not walked
      } else if (with_sub_folders && is_folder && name != "." && name != "..") {
        sub_folders.push_back(name);
      } else if (fs.IsCopyDebrisAt(*target, name)) {
        // Debris of an interrupted copy: cleared without a count or a line.
        (void)fs.DeleteFileAt(*target, name);
      } else if (name != ".." && !in_source(name)) {
        // "." finds the source folder itself, which keeps it.
        if (RemoveObsoleteTargetFile(walk, *target, name) == Removal::kFatal) return Removal::kFatal;
      }
      env_.control.Yield();
      if (env_.control.Idle()) return Removal::kStopped;
    }
  }
  // A folder goes before its sub-folders are looked at, so an obsolete tree
  // disappears from the bottom up, one level per pass.
  if (source_absent) RemoveVanishedFolder(walk);
  return Removal::kDone;
}

std::optional<std::vector<uint64_t>> MirrorEngine::SourceNameHashes(const Folder& source) {
  // One listing of the source folder answers "is it in the source" for
  // every target entry. It is kept as sorted name hashes, eight bytes a name
  // however long, so a folder of a million entries stays small. Two names
  // sharing a hash can only make an obsolete entry look wanted and stay:
  // never the other way round.
  auto reader = env_.fs.ReadFolder(source);
  if (!reader.ok()) return std::nullopt;
  std::vector<uint64_t> hashes;
  platform::FolderEntry entry;
  while ((*reader)->Next(entry)) hashes.push_back(NameHash(entry.name));
  if ((*reader)->error()) return std::nullopt;
  std::sort(hashes.begin(), hashes.end());
  return hashes;
}

MirrorEngine::Removal MirrorEngine::RemoveObsoleteTargetFile(WalkStack& walk, const Folder& target,
                                                             const std::string& name) {
  // A vanished source would make the whole target look obsolete.
  if (!SourceRootUnchanged(walk)) {
    FatalStop(walk.SourcePath());
    return Removal::kFatal;
  }
  (void)env_.fs.MakeWritableAt(target, name);
  // "." of a folder whose source is gone: made writable above so that its
  // entries can go; the folder itself goes once it is empty.
  if (name == ".") return Removal::kDone;
  const std::string path = platform::JoinPath(walk.TargetPath(), name);
  const platform::Status deleted = kept_.keep_versions_days > 0
                                       ? KeepVersion(walk, target, name)
                                       : env_.fs.DeleteFileAt(target, name);
  if (!deleted) {
    ReportFailure(PassEntry::kFile, path, deleted.error());
    return Removal::kDone;
  }
  ++counters_.FilesRemoved;
  if (LoggingFiles()) LogFileEvent(FileEvent::kDeleted, path);
  Report(PassEventKind::kRemoved, PassEntry::kFile, path);
  return Removal::kDone;
}

void MirrorEngine::RemoveVanishedFolder(WalkStack& walk) {
  if (!SourceRootUnchanged(walk)) return;
  if (const platform::Status removed = RemoveTargetFolder(walk); !removed) {
    // A folder with sub-folders goes on a later pass, once they are gone;
    // one that keeps an entry that failed has that failure reported.
    if (removed.error().code != ENOTEMPTY && removed.error().code != EEXIST) {
      ReportFailure(PassEntry::kFolder, walk.TargetPath(), removed.error());
    }
    return;
  }
  // Its files went to the versions one by one; the folder leaves its place
  // there too, so a restore finds the tree as it was.
  if (kept_.keep_versions_days > 0) (void)VersionsFolder(walk);
  ++counters_.FoldersRemoved;
  if (LoggingFiles()) LogFolderEvent(FolderEvent::kDeleted, walk.TargetPath());
  Report(PassEventKind::kRemoved, PassEntry::kFolder, walk.TargetPath());
}

bool MirrorEngine::SourceRootUnchanged(WalkStack& walk) {
  // The root's path must still lead to the folder the walk holds: a source
  // folder deleted, or a disk unplugged so that its empty mount point shows
  // through, would make every target entry look obsolete.
  auto now = env_.fs.OpenFolder(walk.source_root());
  if (!now.ok()) return false;
  const auto identity = env_.fs.IdentityOf(**now);
  return identity.ok() && source_root_identity_.has_value() && *identity == *source_root_identity_;
}

platform::Status MirrorEngine::RemoveTargetFolder(WalkStack& walk) {
  platform::FileSystem& fs = env_.fs;
  if (walk.depth() > 0) {
    const Folder* parent = walk.TargetParent();
    if (parent == nullptr) {
      return platform::MakeError(ENOENT, "open folder", platform::ParentFolder(walk.TargetPath()));
    }
    return fs.RemoveFolderAt(*parent, walk.Name());
  }
  // The root itself: through the folder that holds it.
  const std::string& root = walk.target_root();
  auto parent = fs.OpenFolder(platform::ParentFolder(root));
  if (!parent.ok()) return parent.error();
  return fs.RemoveFolderAt(**parent, platform::BaseName(root));
}

}  // namespace vorn
