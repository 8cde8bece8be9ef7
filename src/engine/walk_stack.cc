#include "engine/walk_stack.h"

#include <algorithm>
#include <cerrno>

#include "platform/path.h"
#include "platform/system.h"

namespace vorn {

size_t WalkStack::DefaultWindow() {
  // Two descriptors per level, and a good share of the limit kept free.
  const int limit = platform::OpenFileLimit();
  const int levels = (limit - 32) / 8;
  return static_cast<size_t>(std::clamp(levels, 2, 64));
}

WalkStack::WalkStack(platform::FileSystem& fs, std::string source_root, std::string target_root,
                     size_t window)
    : fs_(fs),
      roots_{std::move(source_root), std::move(target_root)},
      window_(window < 1 ? 1 : window) {
  levels_.emplace_back();
  for (const Side side : {Side::kSource, Side::kTarget}) {
    Handle& handle = levels_[0].sides[static_cast<int>(side)];
    auto opened = fs_.OpenFolder(roots_[static_cast<int>(side)]);
    if (opened.ok()) {
      handle.folder = std::move(opened).value();
      handle.state = State::kOpen;
    } else {
      handle.state = StateAfterFailure(nullptr, {}, opened.error());
    }
  }
}

std::string_view WalkStack::NameOf(size_t level) const {
  const Level& l = levels_[level];
  return std::string_view(relative_).substr(l.name_begin, l.name_end - l.name_begin);
}

std::string_view WalkStack::Name() const {
  return NameOf(depth());
}

void WalkStack::Descend(std::string_view name) {
  const size_t parent = depth();
  Level level;
  if (!relative_.empty()) relative_ += platform::kSeparator;
  level.name_begin = relative_.size();
  relative_.append(name);
  level.name_end = relative_.size();
  for (const Side side : {Side::kSource, Side::kTarget}) {
    const platform::Folder* parent_folder = Open(side, parent);
    Handle& handle = level.sides[static_cast<int>(side)];
    if (parent_folder == nullptr) {
      // Below a folder that is gone nothing exists; below one that could
      // not be read nothing is known.
      handle.state = levels_[parent].sides[static_cast<int>(side)].state;
      continue;
    }
    auto opened = OpenBelow(*parent_folder, name);
    if (opened.ok()) {
      handle.folder = std::move(opened).value();
      handle.state = State::kOpen;
    } else {
      handle.state = StateAfterFailure(parent_folder, name, opened.error());
    }
  }
  levels_.push_back(std::move(level));
  // Keep the roots and the deepest `window_` levels open; let go of the
  // level that just left the window.
  if (depth() > window_) {
    for (Handle& handle : levels_[depth() - window_].sides) {
      if (handle.state == State::kOpen) {
        handle.folder.reset();
        handle.state = State::kReleased;
      }
    }
  }
}

void WalkStack::Ascend() {
  if (levels_.size() <= 1) return;
  const Level& level = levels_.back();
  const size_t begin = level.name_begin;
  levels_.pop_back();
  // Drop the name and the separator before it.
  relative_.resize(begin > 0 ? begin - 1 : 0);
}

const platform::Folder* WalkStack::Open(Side side, size_t level) {
  Handle& handle = levels_[level].sides[static_cast<int>(side)];
  if (handle.state == State::kReleased) Restore(side, level);
  return handle.state == State::kOpen ? handle.folder.get() : nullptr;
}

const platform::Folder* WalkStack::SourceParent() {
  return depth() == 0 ? nullptr : Open(Side::kSource, depth() - 1);
}

const platform::Folder* WalkStack::TargetParent() {
  return depth() == 0 ? nullptr : Open(Side::kTarget, depth() - 1);
}

void WalkStack::Restore(Side side, size_t level) {
  const int s = static_cast<int>(side);
  size_t open = level;
  while (open > 0 && levels_[open].sides[s].state == State::kReleased) --open;
  // Levels between the nearest open one and `level` were all released
  // together; reopen them one name at a time, keeping those inside the window.
  const size_t keep_from = level >= window_ ? level - window_ + 1 : 1;
  std::unique_ptr<platform::Folder> transient;
  const platform::Folder* base = levels_[open].sides[s].folder.get();
  for (size_t i = open + 1; i <= level; ++i) {
    Handle& handle = levels_[i].sides[s];
    // Plain opens here: releasing levels now could pull `base` away.
    auto opened = base != nullptr ? fs_.OpenFolderAt(*base, NameOf(i))
                                  : platform::Result<std::unique_ptr<platform::Folder>>(
                                        platform::MakeError(ENOENT, "open folder", ""));
    if (!opened.ok()) {
      // The folder went away, or out of reach, while the walk was below it.
      const State state = StateAfterFailure(base, NameOf(i), opened.error());
      for (size_t j = i; j <= level; ++j) {
        levels_[j].sides[s].folder.reset();
        levels_[j].sides[s].state = state;
      }
      return;
    }
    if (i >= keep_from) {
      handle.folder = std::move(opened).value();
      handle.state = State::kOpen;
      base = handle.folder.get();
    } else {
      transient = std::move(opened).value();
      base = transient.get();
    }
  }
}

platform::Result<std::unique_ptr<platform::Folder>> WalkStack::OpenBelow(
    const platform::Folder& parent, std::string_view name) {
  // Should the rest of the program hold more descriptors than the window
  // allowed for, give up shallow levels rather than take a folder for absent.
  for (;;) {
    auto opened = fs_.OpenFolderAt(parent, name);
    if (opened.ok() || (opened.error().code != EMFILE && opened.error().code != ENFILE) ||
        !ReleaseShallowest()) {
      return opened;
    }
  }
}

WalkStack::State WalkStack::StateAfterFailure(const platform::Folder* parent,
                                              std::string_view name,
                                              const platform::Error& error) {
  if (!platform::IsAbsentError(error)) return State::kUnreadable;
  // ENOTDIR: something else stands under the name. A file there means the
  // folder is gone; a link may lead to the very folder, so nothing is known.
  if (error.code == ENOTDIR && parent != nullptr) {
    const auto info = fs_.LookupAt(*parent, name);
    if (info.ok() && info->type == platform::EntryType::kLink) return State::kUnreadable;
    if (!info.ok() && !platform::IsAbsentError(info.error())) return State::kUnreadable;
  }
  return State::kAbsent;
}

bool WalkStack::ReleaseShallowest() {
  // Never the roots, the current level or its parent: callers hold those.
  for (size_t level = 1; level + 2 < levels_.size(); ++level) {
    bool released = false;
    for (Handle& handle : levels_[level].sides) {
      if (handle.state == State::kOpen) {
        handle.folder.reset();
        handle.state = State::kReleased;
        released = true;
      }
    }
    if (released) return true;
  }
  return false;
}

std::string WalkStack::SourcePath() const {
  return relative_.empty() ? roots_[0] : platform::JoinPath(roots_[0], relative_);
}

std::string WalkStack::TargetPath() const {
  return relative_.empty() ? roots_[1] : platform::JoinPath(roots_[1], relative_);
}

size_t WalkStack::open_folders() const {
  size_t count = 0;
  for (const Level& level : levels_) {
    for (const Handle& handle : level.sides) count += handle.state == State::kOpen ? 1 : 0;
  }
  return count;
}

namespace {

// One level of a walk: the sub-folders met, and the next one to enter.
struct Frame {
  std::vector<std::string> sub_folders;
  size_t next = 0;
};

// Visits the current level into a new frame; false when the walk must end.
bool Enter(std::vector<Frame>& frames, const TreeVisitor& visitor) {
  frames.emplace_back();
  const VisitOutcome outcome = visitor.visit(frames.back().sub_folders);
  if (outcome == VisitOutcome::kEndWalk) return false;
  if (outcome == VisitOutcome::kSkipSubFolders) frames.back().sub_folders.clear();
  return true;
}

}  // namespace

bool WalkTree(WalkStack& walk, const TreeVisitor& visitor) {
  // The walk keeps its own stack of levels instead of recursing, so a very
  // deep tree cannot exhaust the thread's stack.
  std::vector<Frame> frames;
  if (!Enter(frames, visitor)) return false;
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next < frame.sub_folders.size()) {
      const std::string name = frame.sub_folders[frame.next++];
      if (visitor.before_entering) visitor.before_entering(name);
      walk.Descend(name);
      // A stop request ends the sub-folder's own visit; the folders that
      // remain above are still entered.
      if (!Enter(frames, visitor)) return false;
      continue;
    }
    frames.pop_back();
    if (frames.empty()) break;
    walk.Ascend();
    const Frame& parent = frames.back();
    if (visitor.after_leaving) visitor.after_leaving(parent.sub_folders[parent.next - 1]);
  }
  return true;
}

}  // namespace vorn
