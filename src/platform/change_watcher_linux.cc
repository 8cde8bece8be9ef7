// The change watcher over inotify: one watch per folder, the folders below
// a root watched a slice at a time, and every folder created or moved in
// later watched as its event arrives.

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/change_watcher.h"
#include "platform/clock.h"

namespace vorn::platform {
namespace {

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
// Files unlinked while open say nothing more; folders only.
constexpr uint32_t kMask = kEvents | IN_EXCL_UNLINK | IN_ONLYDIR;
// How long a Poll goes on listing folders (and watching their sub-folders)
// before it leaves the rest to the next one.
constexpr int64_t kSliceMilliseconds = 20;
// No real tree is this deep; a chain longer than this is a bug, not a tree.
constexpr int kMostDepth = 4096;
constexpr const char* kWatchLimit = "fs.inotify.max_user_watches";
constexpr const char* kInstanceLimit = "fs.inotify.max_user_instances";

std::string Trimmed(std::string root) {
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

class InotifyWatcher final : public ChangeWatcher {
 public:
  explicit InotifyWatcher(size_t most_folders) : most_folders_(most_folders) { Open(); }
  ~InotifyWatcher() override {
    if (fd_ >= 0) ::close(fd_);
  }
  InotifyWatcher(const InotifyWatcher&) = delete;
  InotifyWatcher& operator=(const InotifyWatcher&) = delete;

  void Watch(const std::vector<std::string>& roots, bool recursive) override;
  WatchNews Poll() override;
  bool Arming() const override { return !to_list_.empty(); }
  void Wait(int milliseconds) override {
    // A negative descriptor is skipped: a plain sleep. poll is never
    // restarted after a signal handler, so a signal ends the wait.
    struct pollfd wanted = {fd_, POLLIN, 0};
    ::poll(&wanted, 1, std::max(milliseconds, 0));
  }

 private:
  // A watched folder: its name in its parent's watch, or a root by its
  // path. Paths are rebuilt from the chain when needed, so a folder moved
  // within a tree only has its own entry changed, and a watch costs its
  // name and a few words.
  struct Folder {
    int parent;  ///< -1 for a root
    std::string name;
  };

  void Open() { fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC); }
  void UnwatchAll();
  void AddRoot(const std::string& root);
  bool WatchChild(int parent, const std::string& name);
  void ListFolder(int wd);
  void Handle(const struct inotify_event& event);
  void Changed() {
    changed_ = true;
    last_change_ms_ = MonotonicMilliseconds();
  }
  void GiveUp(const std::string& root, const char* limit);
  void RemoveTree(int top);
  void Forget(int wd);
  bool Below(int wd, int top) const;
  int RootOf(int wd) const;
  std::string PathOf(int wd) const;

  const size_t most_folders_;
  int fd_ = -1;
  bool recursive_ = true;
  std::unordered_map<int, Folder> folders_;
  std::map<std::string, int> roots_;  // the roots being watched, by path
  std::vector<int> to_list_;          // watched folders whose sub-folders are not yet
  std::set<std::string> given_up_;
  std::vector<UnwatchedTree> given_up_news_;
  bool changed_ = false;
  int64_t last_change_ms_ = 0;
};

void InotifyWatcher::Watch(const std::vector<std::string>& roots, bool recursive) {
  std::vector<std::string> wanted;
  for (const std::string& root : roots) {
    if (!root.empty()) wanted.push_back(Trimmed(root));
  }
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  if (recursive) {
    // A root inside another is watched with it; two watches of one folder
    // would be one watch with two owners. Sorted, an enclosing root comes
    // first.
    std::vector<std::string> outermost;
    for (const std::string& root : wanted) {
      const bool inside = !outermost.empty() &&
                          (outermost.back() == "/" || root.starts_with(outermost.back() + "/"));
      if (!inside) outermost.push_back(root);
    }
    wanted.swap(outermost);
  }
  if (wanted.empty() || recursive != recursive_) {
    UnwatchAll();
    recursive_ = recursive;
  }
  std::vector<int> dropped;
  for (const auto& root : roots_) {
    if (!std::binary_search(wanted.begin(), wanted.end(), root.first)) {
      dropped.push_back(root.second);
    }
  }
  for (const int wd : dropped) RemoveTree(wd);
  for (const std::string& root : wanted) {
    if (roots_.count(root) == 0 && given_up_.count(root) == 0) AddRoot(root);
  }
}

void InotifyWatcher::UnwatchAll() {
  // Closing drops every watch at once, which a large tree would otherwise
  // pay one call per folder for.
  if (folders_.empty()) return;
  if (fd_ >= 0) ::close(fd_);
  folders_.clear();
  roots_.clear();
  to_list_.clear();
  Open();
}

void InotifyWatcher::AddRoot(const std::string& root) {
  if (fd_ < 0 || folders_.size() >= most_folders_) {
    GiveUp(root, fd_ < 0 ? kInstanceLimit : kWatchLimit);
    return;
  }
  // A root given as a link is followed, as the pass follows it.
  const int wd = ::inotify_add_watch(fd_, root.c_str(), kMask);
  if (wd < 0) {
    // Missing or unreadable roots are tried again at the next Watch.
    if (errno == ENOSPC) GiveUp(root, kWatchLimit);
    return;
  }
  folders_[wd] = Folder{-1, root};
  roots_[root] = wd;
  if (recursive_) to_list_.push_back(wd);
}

// False when the tree had to be given up.
bool InotifyWatcher::WatchChild(int parent, const std::string& name) {
  if (folders_.size() >= most_folders_) {
    GiveUp(PathOf(RootOf(parent)), kWatchLimit);
    return false;
  }
  std::string path = PathOf(parent);
  if (path.back() != '/') path += '/';
  path += name;
  const int wd = ::inotify_add_watch(fd_, path.c_str(), kMask | IN_DONT_FOLLOW);
  if (wd < 0) {
    if (errno != ENOSPC) return true;  // gone already, or not a folder: nothing to watch
    GiveUp(PathOf(RootOf(parent)), kWatchLimit);
    return false;
  }
  const auto [known, added] = folders_.try_emplace(wd, Folder{parent, name});
  if (!added) {
    if (known->second.parent < 0) return true;  // another root: it keeps its own entry
    known->second = Folder{parent, name};       // moved within the tree
  }
  to_list_.push_back(wd);
  return true;
}

void InotifyWatcher::ListFolder(int wd) {
  DIR* const folder = ::opendir(PathOf(wd).c_str());
  if (folder == nullptr) return;
  while (const struct dirent* entry = ::readdir(folder)) {
    const char* const name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    bool is_folder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat status {};
      is_folder = ::fstatat(::dirfd(folder), name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                  S_ISDIR(status.st_mode);
    }
    if (is_folder && !WatchChild(wd, name)) break;
  }
  ::closedir(folder);
}

WatchNews InotifyWatcher::Poll() {
  if (fd_ >= 0) {
    alignas(struct inotify_event) char buffer[16 * 1024];
    for (;;) {
      const ssize_t read = ::read(fd_, buffer, sizeof buffer);
      if (read < 0 && errno == EINTR) continue;
      if (read <= 0) break;  // EAGAIN: drained
      for (const char* at = buffer; at < buffer + read;) {
        const auto* event = reinterpret_cast<const struct inotify_event*>(at);
        at += sizeof(struct inotify_event) + event->len;
        Handle(*event);
      }
    }
  }
  const int64_t slice_end = MonotonicMilliseconds() + kSliceMilliseconds;
  for (int listed = 1; !to_list_.empty(); ++listed) {
    const int wd = to_list_.back();
    to_list_.pop_back();
    if (folders_.count(wd) != 0) ListFolder(wd);
    if (listed % 16 == 0 && MonotonicMilliseconds() >= slice_end) break;
  }
  WatchNews news;
  news.changed = changed_;
  news.last_change_ms = last_change_ms_;
  news.given_up.swap(given_up_news_);
  changed_ = false;
  return news;
}

void InotifyWatcher::Handle(const struct inotify_event& event) {
  if ((event.mask & IN_Q_OVERFLOW) != 0) {
    // Events were lost, folders created among them too: list every tree
    // again (folders already watched keep their watch).
    Changed();
    if (recursive_) {
      for (const auto& root : roots_) to_list_.push_back(root.second);
    }
    return;
  }
  const auto known = folders_.find(event.wd);
  if (known == folders_.end()) return;  // a watch removed while its events were queued
  if ((event.mask & IN_IGNORED) != 0) {
    // The folder is gone (its deletion was the change), or its watch was
    // removed here. A root is tried again at the next Watch.
    Forget(event.wd);
    return;
  }
  const bool is_root = known->second.parent < 0;
  Changed();
  const std::string name = event.len > 0 ? std::string(event.name) : std::string();
  if ((event.mask & IN_ISDIR) != 0 && !name.empty()) {
    // A folder moved out is unwatched; moved within the tree it comes back
    // with its IN_MOVED_TO, under its new name.
    if ((event.mask & IN_MOVED_FROM) != 0) {
      const auto moved = std::find_if(folders_.begin(), folders_.end(), [&](const auto& folder) {
        return folder.second.parent == event.wd && folder.second.name == name;
      });
      if (moved != folders_.end()) RemoveTree(moved->first);
    }
    if (recursive_ && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) WatchChild(event.wd, name);
  }
  // A root moved away: its path names something else now, if anything.
  if (is_root && (event.mask & IN_MOVE_SELF) != 0) RemoveTree(event.wd);
}

void InotifyWatcher::GiveUp(const std::string& root, const char* limit) {
  if (const auto watched = roots_.find(root); watched != roots_.end()) RemoveTree(watched->second);
  if (given_up_.insert(root).second) given_up_news_.push_back(UnwatchedTree{root, limit});
}

void InotifyWatcher::RemoveTree(int top) {
  std::vector<int> doomed;
  for (const auto& folder : folders_) {
    if (Below(folder.first, top)) doomed.push_back(folder.first);
  }
  for (const int wd : doomed) {
    ::inotify_rm_watch(fd_, wd);
    Forget(wd);
  }
}

void InotifyWatcher::Forget(int wd) {
  const auto known = folders_.find(wd);
  if (known == folders_.end()) return;
  if (known->second.parent < 0) {
    const auto root = roots_.find(known->second.name);
    if (root != roots_.end() && root->second == wd) roots_.erase(root);
  }
  folders_.erase(known);
}

bool InotifyWatcher::Below(int wd, int top) const {
  for (int depth = 0; depth < kMostDepth; ++depth) {
    if (wd == top) return true;
    const auto known = folders_.find(wd);
    if (known == folders_.end() || known->second.parent < 0) return false;
    wd = known->second.parent;
  }
  return false;
}

int InotifyWatcher::RootOf(int wd) const {
  for (int depth = 0; depth < kMostDepth; ++depth) {
    const auto known = folders_.find(wd);
    if (known == folders_.end() || known->second.parent < 0) return wd;
    wd = known->second.parent;
  }
  return wd;
}

std::string InotifyWatcher::PathOf(int wd) const {
  std::vector<const std::string*> names;
  for (int depth = 0; depth < kMostDepth; ++depth) {
    const auto known = folders_.find(wd);
    if (known == folders_.end()) break;
    names.push_back(&known->second.name);
    if (known->second.parent < 0) break;
    wd = known->second.parent;
  }
  std::string path;
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (!path.empty() && path.back() != '/') path += '/';
    path += **name;
  }
  return path;
}

}  // namespace

std::unique_ptr<ChangeWatcher> MakeChangeWatcher(size_t most_folders) {
  return std::make_unique<InotifyWatcher>(most_folders);
}

}  // namespace vorn::platform
