#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace vorn {

/// The folders from a pair's two roots down to the folder a walk is in, on
/// the source side and the target side at once (the same names below both
/// roots). Entries are reached through the open folders, never through full
/// paths. Only the deepest `window` levels and the roots keep their folders
/// open, so a tree of any depth fits under the open-file limit; a shallower
/// level is reopened, one name at a time from the nearest open level and
/// never through a link, when the walk climbs back to it.
class WalkStack {
 public:
  /// A window that leaves most of the process's descriptors to listings,
  /// copies and the rest of the program: at most 64 levels, fewer under a
  /// low open-file limit.
  static size_t DefaultWindow();

  WalkStack(platform::FileSystem& fs, std::string source_root, std::string target_root,
            size_t window = DefaultWindow());

  /// Enters the sub-folder `name` on both sides.
  void Descend(std::string_view name);
  /// Returns to the parent level.
  void Ascend();
  /// 0 at the roots.
  size_t depth() const { return levels_.size() - 1; }
  /// The name of the current level (empty at the roots).
  std::string_view Name() const;

  /// The current folder on each side; null when it does not exist or
  /// cannot be opened.
  const platform::Folder* Source() { return Open(Side::kSource, depth()); }
  const platform::Folder* Target() { return Open(Side::kTarget, depth()); }
  /// True only when the current source folder is known not to exist (as a
  /// folder): not when it could not be opened for any other reason, such as
  /// a missing permission, an I/O error or a link standing in its place.
  bool SourceAbsent() {
    (void)Source();
    return levels_[depth()].sides[0].state == State::kAbsent;
  }
  /// The folder holding the current one (null at the roots).
  const platform::Folder* SourceParent();
  const platform::Folder* TargetParent();

  /// Full paths of the current level, for logs and messages.
  std::string SourcePath() const;
  std::string TargetPath() const;
  const std::string& source_root() const { return roots_[0]; }
  const std::string& target_root() const { return roots_[1]; }
  /// The names from the roots down to the current level, joined by the
  /// separator; empty at the roots.
  const std::string& relative() const { return relative_; }

  /// How many folders are open now (for tests of the window).
  size_t open_folders() const;

 private:
  enum class Side { kSource = 0, kTarget = 1 };
  enum class State { kOpen, kReleased, kAbsent, kUnreadable };
  struct Handle {
    std::unique_ptr<platform::Folder> folder;
    State state = State::kAbsent;
  };
  struct Level {
    size_t name_begin = 0;  ///< the level's name in relative_
    size_t name_end = 0;
    Handle sides[2];
  };

  const platform::Folder* Open(Side side, size_t level);
  platform::Result<std::unique_ptr<platform::Folder>> OpenBelow(const platform::Folder& parent,
                                                                std::string_view name);
  bool ReleaseShallowest();
  State StateAfterFailure(const platform::Folder* parent, std::string_view name,
                          const platform::Error& error);
  void Restore(Side side, size_t level);
  std::string_view NameOf(size_t level) const;

  platform::FileSystem& fs_;
  std::string roots_[2];
  size_t window_;
  std::string relative_;  ///< names from the roots down, joined by separators
  std::vector<Level> levels_;
};

/// What the visit of one folder asks of the walk.
enum class VisitOutcome {
  kEnterSubFolders,  ///< go on into the sub-folders it listed
  kSkipSubFolders,   ///< stopped: leave this folder's sub-folders alone
  kEndWalk,          ///< end the whole walk at once
};

/// The steps of a depth-first walk, each called at the walk's current level.
struct TreeVisitor {
  /// Handles the current folder and lists the sub-folders to enter, in order.
  std::function<VisitOutcome(std::vector<std::string>& sub_folders)> visit;
  /// Before entering the sub-folder `name` of the current folder; optional.
  std::function<void(const std::string& name)> before_entering;
  /// Back in a folder after its sub-folder `name` was walked; optional.
  std::function<void(const std::string& name)> after_leaving;
};

/// Walks the tree below the walk's roots depth first, a folder before its
/// sub-folders. False when a visit ended the walk.
bool WalkTree(WalkStack& walk, const TreeVisitor& visitor);

}  // namespace vorn
