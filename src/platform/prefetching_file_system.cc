#include "platform/prefetching_file_system.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "platform/path.h"
#include "platform/system.h"

namespace vorn::platform {
namespace {

// Where a folder stands in the walk the helpers expect: the positions, in
// each listing from the root down, of the names that lead to it. Depth
// first, a folder's sub-folders in listing order, is the order of the keys.
using Key = std::vector<uint32_t>;
// The position of a name the listing of its parent did not show.
constexpr uint32_t kUnlisted = UINT32_MAX;

bool IsDots(std::string_view name) {
  return name == "." || name == "..";
}

// One folder's entries as a helper read them, never changed once read:
// shared with the readers that hand them out, so that forgetting the
// listing cannot pull it from under one.
struct Listing {
  std::vector<FolderEntry> entries;
  std::optional<Error> error;
  std::vector<std::pair<size_t, uint32_t>> by_hash;  // (hash of the name, position), sorted
  size_t files = 0;  // entries that are no folders, "." and ".." aside

  static size_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

  // A small folder is searched through; only a large one is worth a table.
  static constexpr size_t kSearchedThrough = 48;

  void Index() {
    for (const FolderEntry& entry : entries) {
      if (entry.type != EntryType::kFolder && !IsDots(entry.name)) ++files;
    }
    if (entries.size() <= kSearchedThrough) return;
    by_hash.reserve(entries.size());
    for (uint32_t i = 0; i < entries.size(); ++i) by_hash.emplace_back(Hash(entries[i].name), i);
    std::sort(by_hash.begin(), by_hash.end());
  }

  // The position of `name`, trying `hint` first: lookups follow the listing.
  std::optional<uint32_t> Find(std::string_view name, uint32_t hint) const {
    if (hint < entries.size() && entries[hint].name == name) return hint;
    if (entries.size() <= kSearchedThrough) {
      for (uint32_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name) return i;
      }
      return std::nullopt;
    }
    const size_t hash = Hash(name);
    for (auto it = std::lower_bound(by_hash.begin(), by_hash.end(), std::pair{hash, 0U});
         it != by_hash.end() && it->first == hash; ++it) {
      if (entries[it->second].name == name) return it->second;
    }
    return std::nullopt;
  }
};

// A mutex that tries a while before it sleeps: the caller and the helpers
// hold it only for short bookkeeping, and on a busy machine putting a
// thread to sleep and waking it costs far more than that.
class SpinningMutex {
 public:
  void lock() {
    for (int i = 0; i < 256; ++i) {
      if (mutex_.try_lock()) return;
    }
    mutex_.lock();
  }
  bool try_lock() { return mutex_.try_lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};

}  // namespace

class PrefetchingFileSystem::Ahead {
 public:
  enum class Stage {
    kIdle,     // known, fetched only once the caller asks for it
    kQueued,   // to be fetched
    kFetched,  // listed, and its entries looked up
    kLeft,     // left to the caller: out of the helpers' reach, or changed meanwhile
  };

  struct Node {
    // Fixed when made.
    std::string path;
    uint64_t tree = 0;
    Key key;
    std::string name;  // in its parent
    // Under the mutex.
    std::shared_ptr<Folder> handle;         // null until opened
    std::shared_ptr<Folder> parent_handle;  // what it is opened from, until then
    Stage stage = Stage::kIdle;
    bool busy = false;  // a helper is fetching it
    bool in_urgent = false;
    bool in_pending = false;
    bool counted = false;  // in ahead_count_
    bool opened_by_caller = false;
    int held = 0;          // the caller's open folders on it
    uint64_t version = 0;  // moves on every change to it: a fetch begun before is dropped
    size_t linked = 0;     // infos of files with more than one name
    // The same folder on the other side of a mirror: the walk enters both
    // in the order of the leading side's listing (the one opened first).
    std::weak_ptr<Node> twin;
    bool leads = false;
    std::atomic<bool> follows{false};  // the caller reads it without the mutex
    bool children_made = false;
    std::vector<std::pair<std::string, uint32_t>> sub_folders;  // until its children are made
    // Only the caller sets it, under the mutex: forgotten, whatever a
    // helper brings back for it is dropped.
    bool gone = false;
    // Written by the helper that fetched it before `fetched` is set; after
    // that only the caller's thread reads them, and changes them under the
    // mutex.
    std::atomic<bool> fetched{false};
    std::shared_ptr<const Listing> listing;
    std::vector<std::optional<EntryInfo>> infos;  // by position in the listing
    bool listing_current = false;
    // The caller's own.
    bool asked = false;    // it asked the helpers for it
    bool left = false;     // it found the node left to it
    size_t lookups = 0;    // lookups of names not known as folders
    uint32_t hint = 0;     // where the next lookup is likely to be
  };
  using NodePtr = std::shared_ptr<Node>;

  Ahead(FileSystem& inner, const PrefetchOptions& options)
      : inner_(inner),
        window_(std::max<size_t>(options.window, 1)),
        folder_entries_(std::max<size_t>(options.folder_entries, 2)) {
    for (size_t i = 0; i < std::max<size_t>(options.helpers, 1); ++i) {
      helpers_.emplace_back([this] { Help(); });
    }
  }

  ~Ahead() {
    {
      std::lock_guard<SpinningMutex> lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
  }

  // ---- the caller's side ------------------------------------------------

  void Release(const NodePtr& node) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    --node->held;
    Recount(*node);
    // The walk has left the folder: nothing fetched below it is wanted.
    if (node->held == 0 && node->opened_by_caller) ForgetTree(node->path, true);
  }

  /// The node of a root the caller opened, made when new; fetched once asked.
  /// Two roots opened one after the other are the two sides of a mirror.
  NodePtr Root(const std::shared_ptr<Folder>& folder) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    NodePtr node = Find(folder->path());
    if (!node) node = Make(folder->path(), ++trees_, {}, {}, nullptr);
    if (!node->handle && node->stage != Stage::kLeft) node->handle = folder;
    const NodePtr before = last_root_.lock();
    if (before && before != node && before->key.empty() && node->key.empty() &&
        !before->twin.lock() && !node->twin.lock()) {
      Pair(before, node);
    }
    last_root_ = node;
    Hold(*node);
    return node;
  }

  /// The folder a helper opened at `path`, if any, taken by the caller.
  std::pair<NodePtr, std::shared_ptr<Folder>> Opened(const std::string& path) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    last_root_.reset();
    NodePtr node = Find(path);
    if (!node || !node->handle || node->stage == Stage::kLeft) return {};
    Entered(node);
    Hold(*node);
    return {node, node->handle};
  }

  /// The node of a sub-folder the caller opened itself.
  NodePtr Child(const std::string& parent_path, std::string_view name,
                const std::shared_ptr<Folder>& folder) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    last_root_.reset();
    NodePtr node = Find(folder->path());
    if (!node) {
      const NodePtr parent = Find(parent_path);
      if (parent) {
        const NodePtr twin = parent->twin.lock();
        const Node& leading = twin && !parent->leads ? *twin : *parent;
        std::optional<uint32_t> at;
        if (leading.fetched.load(std::memory_order_relaxed) && leading.listing) {
          at = leading.listing->Find(name, 0);
        }
        Key key = parent->key;
        key.push_back(at ? *at : kUnlisted);
        node = Make(folder->path(), parent->tree, std::move(key), std::string(name), nullptr);
        if (twin) {
          if (const NodePtr other = Find(JoinPath(twin->path, name))) {
            if (parent->leads) {
              Pair(node, other);
            } else {
              Pair(other, node);
            }
          }
        }
      } else {
        node = Make(folder->path(), ++trees_, {}, std::string(name), nullptr);
      }
    }
    if (const auto made = made_empty_.find(folder->path()); made != made_empty_.end()) {
      made_empty_.erase(made);
      if (!node->busy && node->stage != Stage::kFetched) FetchedEmpty(node, folder);
    }
    if (!node->handle && node->stage != Stage::kLeft) node->handle = folder;
    // The walk reads the folders it enters at once.
    if (node->stage == Stage::kIdle || node->stage == Stage::kQueued) {
      node->stage = Stage::kQueued;
      node->asked = true;
      Demand(node);
    }
    Entered(node);
    Hold(*node);
    return node;
  }

  /// The listing of `node` as fetched, waiting for a helper that is at it;
  /// null when the caller must read it itself.
  std::shared_ptr<const Listing> ListingOf(const NodePtr& node) {
    Node& n = *node;
    if (!n.gone && n.fetched.load(std::memory_order_acquire)) {
      return n.listing_current ? n.listing : nullptr;
    }
    if (n.gone || n.left) return nullptr;
    std::unique_lock<SpinningMutex> lock(mutex_);
    if (!Await(node, lock)) return nullptr;
    return n.listing_current ? n.listing : nullptr;
  }

  /// What a helper looked up of `name`, if it did.
  std::optional<EntryInfo> Info(const NodePtr& node, std::string_view name) {
    Node& n = *node;
    if (!n.gone && n.fetched.load(std::memory_order_acquire)) {
      const std::optional<uint32_t> at = n.listing ? n.listing->Find(name, n.hint) : std::nullopt;
      if (!at || n.listing->entries[*at].type != EntryType::kFolder) LookedUpFile(n);
      if (!at) return std::nullopt;
      n.hint = *at + 1;
      return n.infos[*at];
    }
    if (!n.gone && !n.left) {
      // Its other entries follow: the walk's target side, or one a helper
      // has not come to yet.
      std::unique_lock<SpinningMutex> lock(mutex_);
      if (Await(node, lock)) {
        lock.unlock();
        return Info(node, name);
      }
    }
    LookedUpFile(n);
    return std::nullopt;
  }

  /// Until `node` is fetched (true) or left to the caller: fetched here when
  /// no helper is at it yet, which costs no hand-over; while one is, what
  /// comes next is fetched meanwhile rather than sleep, since a sleep and a
  /// wake-up cost more than a fetch.
  bool Await(const NodePtr& node, std::unique_lock<SpinningMutex>& lock) {
    Node& n = *node;
    n.asked = true;
    for (;;) {
      if (n.gone || n.stage == Stage::kLeft) {
        n.left = true;
        return false;
      }
      if (n.stage == Stage::kFetched) return true;
      n.stage = Stage::kQueued;
      if (!n.busy) {
        Run(node, lock);
      } else if (const NodePtr next = Pick()) {
        Run(next, lock);
      } else {
        caller_waits_ = true;
        fetched_.wait(lock);
      }
    }
  }

  /// The caller reads the listing of `node`: a following side's counts for
  /// much, and fades over the other listings read after it.
  void Listed(const Node& node) {
    const int listed = follower_listings_.load(std::memory_order_relaxed);
    if (node.follows.load(std::memory_order_relaxed)) {
      follower_listings_.store(std::min(listed + kListed, 8 * kListed), std::memory_order_relaxed);
    } else {
      follower_listings_.store(listed - listed / 8, std::memory_order_relaxed);
    }
  }

  /// A listing read through without a look at its files, twice in a row,
  /// means the walk wants none: the helpers then look up folders only.
  void ReadThrough(const NodePtr& node, size_t lookups_before) {
    if (node->listing && node->listing->files > 0 && node->lookups == lookups_before &&
        ++quiet_listings_ >= 2) {
      want_files_.store(false, std::memory_order_relaxed);
    }
  }

  // ---- changes ------------------------------------------------------------

  /// What a change to one entry makes stale, worked out before it is made
  /// and forgotten both before and after, so that no helper can slip a
  /// fetch of the old state in between.
  struct Touch {
    std::string folder;
    std::string name;  // empty: the folder's own listing and time only
    enum class Names { kOne, kSameFile, kAnyLinked } names = Names::kOne;
    uint64_t device = 0;
    uint64_t inode = 0;
    bool same_file = false;
  };

  /// `same_file`: the change reaches the file itself (its times, permissions,
  /// link count), so every other name of it goes stale too.
  Touch Before(std::string folder, std::string_view name, bool same_file) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    Touch touch{std::move(folder), std::string(name)};
    touch.same_file = same_file;
    if (same_file) {
      touch.names = Touch::Names::kAnyLinked;
      const NodePtr node = Find(touch.folder);
      if (node && node->fetched.load(std::memory_order_relaxed) && node->listing) {
        const std::optional<uint32_t> at = node->listing->Find(name, 0);
        if (at && node->infos[*at]) {
          const EntryInfo& info = *node->infos[*at];
          touch.names = info.type == EntryType::kFolder || info.links <= 1
                            ? Touch::Names::kOne
                            : Touch::Names::kSameFile;
          touch.device = info.device;
          touch.inode = info.inode;
        } else if (!at && node->listing_current) {
          touch.names = Touch::Names::kOne;  // nothing was there
        }
      }
    }
    Forget(touch);
    return touch;
  }

  void After(const Touch& touch) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    Forget(touch);
  }

  /// The caller made the folder `path`: it holds nothing yet, so when the
  /// caller enters it, as the walk does every folder it makes, no helper
  /// need read it. Anything else put there meanwhile shows as late as a
  /// change made behind a walk's back.
  void Made(std::string path) {
    std::lock_guard<SpinningMutex> lock(mutex_);
    // Folders made and never entered (a version's, whose making failed
    // half-way) are few; the bound is only there in case.
    if (made_empty_.size() >= kMostMade) made_empty_.clear();
    made_empty_.insert(std::move(path));
  }

  // ---- the helpers' side --------------------------------------------------

 private:
  struct Job {
    NodePtr node;
    bool files = false;  // look up every entry, not only the folders
    // The leading side's listing, when its names are looked up here instead
    // of listing this folder: the walk reads only the leading side then.
    std::shared_ptr<const Listing> names;
    uint64_t version = 0;
    uint64_t linked_epoch = 0;
    std::shared_ptr<Folder> handle;
    std::shared_ptr<Folder> parent_handle;
    std::string name;
    std::string path;
  };

  struct Fetched {
    bool failed = false;
    std::shared_ptr<Folder> opened;
    std::shared_ptr<Listing> listing;
    std::vector<std::optional<EntryInfo>> infos;
    size_t linked = 0;
    std::vector<std::pair<std::string, uint32_t>> sub_folders;  // path, position
  };

  struct ByKey {  // the walk's order within each tree
    bool operator()(const Node* a, const Node* b) const {
      if (a->tree != b->tree) return a->tree < b->tree;
      if (a->key != b->key) return a->key < b->key;
      return a->path < b->path;
    }
  };
  struct ByWalk {  // what the walk meets first, the trees side by side
    bool operator()(const NodePtr& a, const NodePtr& b) const {
      if (a->key != b->key) return a->key < b->key;
      if (a->tree != b->tree) return a->tree < b->tree;
      return a->path < b->path;
    }
  };

  // Folders known at once, fetched or not: what bounds memory whatever the tree.
  static constexpr size_t kMostNodes = 16384;
  // Folders a helper takes at once.
  static constexpr size_t kBatch = 8;
  // Entries looked up ahead at most, however large the folders in the window.
  static constexpr size_t kMostEntries = 65536;
  // Folders made by the caller and not yet entered, remembered at most.
  static constexpr size_t kMostMade = 1024;

  static bool Linked(const EntryInfo& info) {
    return info.type != EntryType::kFolder && info.links > 1;
  }

  void LookedUpFile(Node& node) {
    ++node.lookups;
    quiet_listings_ = 0;
    if (!want_files_.load(std::memory_order_relaxed)) {
      want_files_.store(true, std::memory_order_relaxed);
    }
  }

  NodePtr Find(std::string_view path) const {
    const auto found = by_path_.find(path);
    return found == by_path_.end() ? nullptr : found->second;
  }

  NodePtr Make(std::string path, uint64_t tree, Key key, std::string name,
               std::shared_ptr<Folder> parent_handle) {
    auto node = std::make_shared<Node>();
    node->path = std::move(path);
    node->tree = tree;
    node->key = std::move(key);
    node->name = std::move(name);
    node->parent_handle = std::move(parent_handle);
    by_path_.emplace(node->path, node);
    by_key_.insert(node.get());
    return node;
  }

  static void Pair(const NodePtr& leading, const NodePtr& following) {
    leading->twin = following;
    leading->leads = true;
    following->twin = leading;
    following->follows.store(true, std::memory_order_relaxed);
  }

  // Makes the nodes of the sub-folders of `node` once its listing, and the
  // leading side's, are known: keyed by where the leading side lists them.
  void MakeChildren(const NodePtr& node) {
    if (node->children_made || node->stage != Stage::kFetched) return;
    const NodePtr twin = node->twin.lock();
    const Node* leading = node.get();
    if (twin && !node->leads) {
      if (twin->stage == Stage::kFetched && twin->listing) {
        leading = twin.get();
      } else if (!twin->gone && twin->stage != Stage::kLeft) {
        return;  // made once the leading side is listed
      }
    }
    node->children_made = true;
    size_t made = 0;
    for (auto& [path, position] : node->sub_folders) {
      // Folders of very many sub-folders: those past the bound are fetched
      // when the walk enters them.
      if (by_path_.size() >= kMostNodes) break;
      if (Find(path)) continue;
      Key key = node->key;
      std::string name = node->listing->entries[position].name;
      if (leading == node.get()) {
        key.push_back(position);
      } else {
        // Not on the leading side: never entered in its order, so last.
        const std::optional<uint32_t> at = leading->listing->Find(name, 0);
        key.push_back(at ? *at : kUnlisted - 1);
      }
      NodePtr child =
          Make(std::move(path), node->tree, std::move(key), std::move(name), node->handle);
      child->stage = Stage::kQueued;
      Queue(child);
      ++made;
      if (twin) {
        if (const NodePtr other = Find(JoinPath(twin->path, child->name))) {
          if (node->leads) {
            Pair(child, other);
          } else {
            Pair(other, child);
          }
        }
      }
    }
    node->sub_folders.clear();
    node->sub_folders.shrink_to_fit();
    for (size_t woken = 0; woken < idle_ && woken < made &&
                           ahead_count_ + woken < window_;
         ++woken) {
      work_.notify_one();
    }
    // The other side waited for this one.
    if (twin && node->leads) MakeChildren(twin);
  }

  void Hold(Node& node) {
    node.opened_by_caller = true;
    ++node.held;
    Recount(node);
  }

  // The caller entered `node`: its siblings before it were walked already
  // or are not to be walked (left out, or only on this side).
  void Entered(const NodePtr& node) {
    if (node->key.empty() || node->key.back() == kUnlisted || node->key.back() == 0) return;
    Node from;
    from.tree = node->tree;
    from.key = node->key;
    from.key.back() = 0;
    std::vector<NodePtr> passed;
    for (auto it = by_key_.lower_bound(&from); it != by_key_.end() && ByKey{}(*it, node.get());
         ++it) {
      if ((*it)->held == 0) passed.push_back(Find((*it)->path));
    }
    for (const NodePtr& gone : passed) Drop(gone);
  }

  void Demand(const NodePtr& node) {
    if (node->busy || node->in_urgent) return;
    node->in_urgent = true;
    urgent_.push_back(node);
    if (idle_ > 0) work_.notify_one();
  }

  void Queue(const NodePtr& node) {
    if (node->in_pending) return;
    node->in_pending = true;
    pending_.insert(node);
  }

  void Unqueue(const NodePtr& node) {
    if (!node->in_pending) return;
    node->in_pending = false;
    pending_.erase(node);
  }

  // Keeps ahead_count_: the folders fetched (or being fetched) that the
  // caller does not hold, which the window bounds.
  void Recount(Node& node) {
    const bool counts = !node.gone && node.held == 0 &&
                        (node.busy || node.handle != nullptr || node.listing != nullptr);
    if (counts == node.counted) return;
    node.counted = counts;
    if (counts) {
      ++ahead_count_;
    } else {
      --ahead_count_;
      // Helpers stopped by a full window go on once half of it is free, not
      // for each folder the caller takes: every wake-up costs.
      if (idle_ > 0 && ahead_count_ + window_ / 2 == window_ && !pending_.empty()) {
        work_.notify_all();
      }
    }
  }

  void ForgetInfo(Node& node, uint32_t position) {
    std::optional<EntryInfo>& info = node.infos[position];
    if (info && Linked(*info)) {
      --node.linked;
      --linked_total_;
    }
    info.reset();
  }

  // Forgets everything of `node`; held by the caller, it stays known, left to it.
  void Drop(const NodePtr& node) {
    ++node->version;
    Unqueue(node);
    linked_total_ -= node->linked;
    node->linked = 0;
    node->listing_current = false;
    ahead_entries_ -= node->infos.size();
    if (entries_full_ && ahead_entries_ < kMostEntries / 2 && idle_ > 0) {
      entries_full_ = false;
      work_.notify_all();
    }
    node->infos.clear();
    node->listing.reset();
    const NodePtr twin = node->twin.lock();
    if (node->held > 0) {
      node->stage = Stage::kLeft;
      Recount(*node);
      if (twin && node->leads) MakeChildren(twin);
      return;
    }
    node->gone = true;
    node->handle.reset();
    node->parent_handle.reset();
    Recount(*node);
    by_key_.erase(node.get());
    by_path_.erase(node->path);
    if (twin && node->leads) MakeChildren(twin);
  }

  // `path` and everything below it; with `keep_held`, what the caller
  // holds stays as it is.
  void ForgetTree(const std::string& path, bool keep_held) {
    std::vector<NodePtr> below;
    if (NodePtr node = Find(path)) below.push_back(std::move(node));
    const std::string prefix = path.empty() || path.back() == kSeparator ? path : path + kSeparator;
    for (auto it = by_path_.lower_bound(prefix);
         it != by_path_.end() && std::string_view(it->first).substr(0, prefix.size()) == prefix;
         ++it) {
      below.push_back(it->second);
    }
    for (const NodePtr& node : below) {
      if (!keep_held || node->held == 0) Drop(node);
    }
  }

  void ForgetName(const NodePtr& node, std::string_view name) {
    if (!node->fetched.load(std::memory_order_relaxed) || !node->listing) return;
    if (const auto at = node->listing->Find(name, 0)) ForgetInfo(*node, *at);
  }

  void Forget(const Touch& touch) {
    if (!made_empty_.empty()) ForgetMade(touch);
    if (const NodePtr folder = Find(touch.folder)) {
      ++folder->version;
      folder->listing_current = false;
      ForgetName(folder, touch.name);
    }
    // The folder's own time and link count, as its parent shows them.
    if (touch.folder.size() > 1) {
      if (const NodePtr parent = Find(ParentFolder(touch.folder))) {
        ++parent->version;
        ForgetName(parent, BaseName(touch.folder));
      }
    }
    if (!touch.name.empty()) ForgetTree(JoinPath(touch.folder, touch.name), false);
    if (touch.names == Touch::Names::kOne) return;
    // Other names of the file: whatever a helper looks up now may be old.
    ++linked_epoch_;
    if (linked_total_ == 0) return;
    for (const auto& [path, node] : by_path_) {
      if (node->linked == 0) continue;
      for (uint32_t i = 0; i < node->infos.size(); ++i) {
        const auto& info = node->infos[i];
        if (info && Linked(*info) &&
            (touch.names == Touch::Names::kAnyLinked ||
             (info->device == touch.device && info->inode == touch.inode))) {
          ForgetInfo(*node, i);
        }
      }
    }
  }

  void ForgetMade(const Touch& touch) {
    made_empty_.erase(touch.folder);
    // Its owner, permissions or times change nothing of what it holds.
    if (touch.name.empty() || touch.same_file) return;
    const std::string path = JoinPath(touch.folder, touch.name);
    made_empty_.erase(path);
    const std::string prefix = path + kSeparator;
    for (auto it = made_empty_.lower_bound(prefix);
         it != made_empty_.end() && it->compare(0, prefix.size(), prefix) == 0;) {
      it = made_empty_.erase(it);
    }
  }

  // A folder known to hold nothing but "." and "..", as a helper would have
  // fetched it.
  void FetchedEmpty(const NodePtr& node, const std::shared_ptr<Folder>& folder) {
    static const std::shared_ptr<const Listing> empty = [] {
      auto listing = std::make_shared<Listing>();
      listing->entries = {{".", EntryType::kFolder, false}, {"..", EntryType::kFolder, false}};
      listing->Index();
      return listing;
    }();
    Unqueue(node);
    node->parent_handle.reset();
    node->handle = folder;
    node->infos.assign(empty->entries.size(), std::nullopt);
    ahead_entries_ += node->infos.size();
    node->listing = empty;
    node->listing_current = true;
    node->stage = Stage::kFetched;
    node->fetched.store(true, std::memory_order_release);
    MakeChildren(node);
    Recount(*node);
  }

  // Whether `node` had better wait for the leading side: once that is
  // listed, its names are looked up here and this side is not listed.
  // Whether the walk reads the following side's listings too (as removing
  // obsolete entries does), or only looks its names up (as mirroring does).
  bool ListsFollowers() const {
    return follower_listings_.load(std::memory_order_relaxed) >= kListed / 2;
  }

  bool AwaitsLead(const Node& node) const {
    if (node.leads || !want_files_.load(std::memory_order_relaxed) || ListsFollowers()) {
      return false;
    }
    const NodePtr twin = node.twin.lock();
    return twin && !twin->gone && twin->stage == Stage::kQueued;
  }

  NodePtr Pick() {
    while (!urgent_.empty()) {
      NodePtr node = std::move(urgent_.front());
      urgent_.pop_front();
      node->in_urgent = false;
      if (!node->gone && !node->busy && node->stage == Stage::kQueued) return node;
    }
    size_t skipped = 0;
    for (auto it = pending_.begin(); it != pending_.end() && skipped < 8;) {
      const NodePtr node = *it;
      if (node->gone || node->busy || node->stage != Stage::kQueued) {
        node->in_pending = false;
        it = pending_.erase(it);
        continue;
      }
      if (node->held == 0 && (ahead_count_ >= window_ || ahead_entries_ >= kMostEntries)) {
        entries_full_ = ahead_entries_ >= kMostEntries;
        return nullptr;
      }
      if (!AwaitsLead(*node)) return node;
      ++it;
      ++skipped;
    }
    return nullptr;
  }

  Job Start(const NodePtr& node) {
    Unqueue(node);
    Job job;
    job.node = node;
    job.files = want_files_.load(std::memory_order_relaxed);
    if (const NodePtr twin = node->twin.lock();
        job.files && twin && !node->leads && !ListsFollowers() &&
        twin->stage == Stage::kFetched && twin->listing_current) {
      job.names = twin->listing;
    }
    job.version = node->version;
    job.linked_epoch = linked_epoch_;
    job.handle = node->handle;
    job.parent_handle = node->parent_handle;
    job.name = node->name;
    job.path = node->path;
    node->busy = true;
    Recount(*node);
    return job;
  }

  Fetched Fetch(const Job& job) {
    Fetched out;
    out.failed = true;
    std::shared_ptr<Folder> handle = job.handle;
    if (!handle) {
      if (!job.parent_handle) return out;
      auto opened = inner_.OpenFolderAt(*job.parent_handle, job.name);
      if (!opened.ok()) return out;
      handle = std::shared_ptr<Folder>(std::move(opened).value());
      out.opened = handle;
    }
    if (job.names) {
      const std::vector<FolderEntry>& names = job.names->entries;
      out.infos.resize(names.size());
      for (uint32_t i = 0; i < names.size(); ++i) {
        if (IsDots(names[i].name)) continue;
        auto info = inner_.LookupAt(*handle, names[i].name);
        if (!info.ok()) continue;
        if (info->type == EntryType::kFolder) {
          out.sub_folders.emplace_back(JoinPath(job.path, names[i].name), i);
        }
        if (Linked(*info)) ++out.linked;
        out.infos[i] = *info;
      }
      out.failed = false;
      return out;
    }
    auto reader = inner_.ReadFolder(*handle);
    if (!reader.ok()) return out;
    auto listing = std::make_shared<Listing>();
    listing->entries.reserve(32);
    FolderEntry entry;
    while ((*reader)->Next(entry)) {
      if (listing->entries.size() >= folder_entries_) return out;
      listing->entries.push_back(entry);
    }
    listing->error = (*reader)->error();
    reader->reset();
    listing->Index();
    out.infos.resize(listing->entries.size());
    for (uint32_t i = 0; i < listing->entries.size(); ++i) {
      const FolderEntry& e = listing->entries[i];
      if (IsDots(e.name)) continue;
      if (e.type == EntryType::kFolder) out.sub_folders.emplace_back(JoinPath(job.path, e.name), i);
      if (!job.files && e.type != EntryType::kFolder) continue;
      if (auto info = inner_.LookupAt(*handle, e.name); info.ok()) {
        if (Linked(*info)) ++out.linked;
        out.infos[i] = *info;
      }
    }
    out.listing = std::move(listing);
    out.failed = false;
    return out;
  }

  void Finish(const Job& job, Fetched&& out) {
    Node& node = *job.node;
    node.busy = false;
    if (node.gone) return;
    if (node.version != job.version || out.failed) {
      // Changed meanwhile, or out of the helpers' reach: the caller asks itself.
      node.stage = Stage::kLeft;
      Recount(node);
      if (const NodePtr twin = node.twin.lock(); twin && node.leads) MakeChildren(twin);
      return;
    }
    if (!node.handle) node.handle = std::move(out.opened);
    node.parent_handle.reset();
    if (job.linked_epoch != linked_epoch_ && out.linked > 0) {
      // Another name of a file changed meanwhile: what was looked up of any
      // file of several names may be older than that change.
      for (auto& info : out.infos) {
        if (info && Linked(*info)) info.reset();
      }
      out.linked = 0;
    }
    node.linked = out.linked;
    linked_total_ += out.linked;
    node.infos = std::move(out.infos);
    ahead_entries_ += node.infos.size();
    // Looked up by the leading side's names, it keeps them to find its
    // entries by, but its own listing is still to be read.
    node.listing_current = job.names == nullptr;
    node.listing = job.names ? job.names : std::move(out.listing);
    node.stage = Stage::kFetched;
    node.fetched.store(true, std::memory_order_release);
    // The walk enters the sub-folders next.
    node.sub_folders = std::move(out.sub_folders);
    MakeChildren(job.node);
    Recount(node);
  }

  // Fetches `node`, the lock let go meanwhile.
  void Run(const NodePtr& node, std::unique_lock<SpinningMutex>& lock) {
    const Job job = Start(node);
    lock.unlock();
    Fetched out = Fetch(job);
    lock.lock();
    Finish(job, std::move(out));
  }

  void Help() {
    // Signals are the caller's: one a helper took would not end the
    // caller's sleep between passes.
    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock<SpinningMutex> lock(mutex_);
    std::vector<Job> jobs;
    std::vector<Fetched> fetched;
    for (;;) {
      NodePtr node;
      while (!stop_ && !(node = Pick())) {
        ++idle_;
        work_.wait(lock);
        --idle_;
      }
      if (stop_) return;
      // Several folders for one taking of the mutex: small folders cost
      // less to fetch than to hand over one by one.
      jobs.clear();
      jobs.push_back(Start(node));
      while (jobs.size() < kBatch) {
        const NodePtr next = Pick();
        if (!next) break;
        jobs.push_back(Start(next));
      }
      lock.unlock();
      fetched.clear();
      for (const Job& job : jobs) fetched.push_back(Fetch(job));
      lock.lock();
      for (size_t i = 0; i < jobs.size(); ++i) Finish(jobs[i], std::move(fetched[i]));
      if (caller_waits_) {
        caller_waits_ = false;
        fetched_.notify_all();
      }
    }
  }

  FileSystem& inner_;
  const size_t window_;
  const size_t folder_entries_;
  SpinningMutex mutex_;
  std::condition_variable_any work_;     // for the helpers: something to fetch, or stop
  std::condition_variable_any fetched_;  // for the caller: a fetch ended
  bool stop_ = false;
  bool caller_waits_ = false;
  size_t idle_ = 0;  // helpers waiting for work
  std::atomic<bool> want_files_{true};
  // How much the caller reads following sides' listings, kListed for each
  // lately: written by the caller alone.
  static constexpr int kListed = 8;
  std::atomic<int> follower_listings_{0};
  size_t quiet_listings_ = 0;  // the caller's
  uint64_t trees_ = 0;
  uint64_t linked_epoch_ = 0;
  size_t linked_total_ = 0;
  size_t ahead_count_ = 0;
  size_t ahead_entries_ = 0;  // entries of the fetched folders
  bool entries_full_ = false;  // helpers wait for ahead_entries_ to fall
  std::map<std::string, NodePtr, std::less<>> by_path_;
  std::set<std::string, std::less<>> made_empty_;  // see Made
  std::set<Node*, ByKey> by_key_;
  std::set<NodePtr, ByWalk> pending_;
  std::deque<NodePtr> urgent_;
  std::weak_ptr<Node> last_root_;  // the caller's last open, when of a root
  std::vector<std::thread> helpers_;
};

namespace {

using Ahead = PrefetchingFileSystem::Ahead;

// What the caller holds: the inner folder, shared with the helpers that
// open and read below it, and the node it keeps.
class AheadFolder final : public Folder {
 public:
  // `node` was held for it.
  AheadFolder(std::shared_ptr<Folder> inner, Ahead::NodePtr node, Ahead& ahead)
      : Folder(inner->path()), inner_(std::move(inner)), node_(std::move(node)), ahead_(ahead) {}
  ~AheadFolder() override {
    if (node_) ahead_.Release(node_);
  }
  const Folder& inner() const { return *inner_; }
  const Ahead::NodePtr& node() const { return node_; }

 private:
  std::shared_ptr<Folder> inner_;
  Ahead::NodePtr node_;
  Ahead& ahead_;
};

const AheadFolder& As(const Folder& folder) {
  return static_cast<const AheadFolder&>(folder);
}

const Folder& Inner(const Folder& folder) {
  return As(folder).inner();
}

class ListingReader final : public FolderReader {
 public:
  ListingReader(std::shared_ptr<const Listing> listing, Ahead::NodePtr node, Ahead& ahead)
      : listing_(std::move(listing)),
        node_(std::move(node)),
        lookups_(node_->lookups),
        ahead_(ahead) {}

  bool Next(FolderEntry& entry) override {
    if (next_ < listing_->entries.size()) {
      const FolderEntry& from = listing_->entries[next_++];
      entry.name.assign(from.name);
      entry.type = from.type;
      entry.hidden = from.hidden;
      return true;
    }
    if (!ended_) {
      ended_ = true;
      error_ = listing_->error;
      ahead_.ReadThrough(node_, lookups_);
    }
    return false;
  }
  const std::optional<Error>& error() const override { return error_; }

 private:
  std::shared_ptr<const Listing> listing_;
  Ahead::NodePtr node_;
  size_t lookups_;
  Ahead& ahead_;
  size_t next_ = 0;
  bool ended_ = false;
  std::optional<Error> error_;
};

}  // namespace

std::optional<PrefetchOptions> PrefetchOptionsFor(int setting,
                                                  const std::vector<std::string>& roots) {
  int readers = setting;
  if (readers <= 0) {
    readers = std::any_of(roots.begin(), roots.end(), OnRoundTripFileSystem)
                  ? 16
                  : std::min(4, ProcessorCount());
  }
  if (readers <= 1) return std::nullopt;
  PrefetchOptions options;
  options.helpers = static_cast<size_t>(readers - 1);
  options.window = static_cast<size_t>(std::clamp((OpenFileLimit() - 64) / 4, 8, 128));
  return options;
}

PrefetchingFileSystem::PrefetchingFileSystem(FileSystem& inner, PrefetchOptions options)
    : inner_(inner), ahead_(std::make_unique<Ahead>(inner, options)) {}

PrefetchingFileSystem::~PrefetchingFileSystem() = default;

Result<std::unique_ptr<Folder>> PrefetchingFileSystem::OpenFolder(const std::string& path) {
  auto opened = inner_.OpenFolder(path);
  if (!opened.ok()) return opened.error();
  std::shared_ptr<Folder> folder(std::move(opened).value());
  Ahead::NodePtr node = ahead_->Root(folder);
  return std::unique_ptr<Folder>(std::make_unique<AheadFolder>(folder, std::move(node), *ahead_));
}

Result<std::unique_ptr<Folder>> PrefetchingFileSystem::OpenFolderAt(const Folder& parent,
                                                                    std::string_view relative) {
  const bool one_name = !relative.empty() && relative.find(kSeparator) == std::string_view::npos;
  if (one_name && !IsDots(relative)) {
    auto [node, folder] = ahead_->Opened(JoinPath(parent.path(), relative));
    if (folder) {
      return std::unique_ptr<Folder>(
          std::make_unique<AheadFolder>(std::move(folder), std::move(node), *ahead_));
    }
  }
  auto opened = inner_.OpenFolderAt(Inner(parent), relative);
  if (!opened.ok()) return opened.error();
  std::shared_ptr<Folder> folder(std::move(opened).value());
  Ahead::NodePtr node =
      one_name && !IsDots(relative) ? ahead_->Child(parent.path(), relative, folder) : nullptr;
  return std::unique_ptr<Folder>(std::make_unique<AheadFolder>(folder, std::move(node), *ahead_));
}

Result<FolderIdentity> PrefetchingFileSystem::IdentityOf(const Folder& folder) {
  return inner_.IdentityOf(Inner(folder));
}

Result<std::unique_ptr<FolderReader>> PrefetchingFileSystem::ReadFolder(const Folder& folder) {
  if (const Ahead::NodePtr& node = As(folder).node()) {
    ahead_->Listed(*node);
    if (auto listing = ahead_->ListingOf(node)) {
      return std::unique_ptr<FolderReader>(
          std::make_unique<ListingReader>(std::move(listing), node, *ahead_));
    }
  }
  return inner_.ReadFolder(Inner(folder));
}

Result<EntryInfo> PrefetchingFileSystem::Lookup(const std::string& path) {
  return inner_.Lookup(path);
}

Result<EntryInfo> PrefetchingFileSystem::LookupAt(const Folder& folder, std::string_view name) {
  if (const Ahead::NodePtr& node = As(folder).node()) {
    if (auto info = ahead_->Info(node, name)) return *info;
  }
  return inner_.LookupAt(Inner(folder), name);
}

namespace {

// Makes a change through `inner`, forgetting what it makes stale before and after.
template <typename Change>
auto Changing(Ahead& ahead, const std::string& folder, std::string_view name, bool same_file,
              Change change) {
  const Ahead::Touch touch = ahead.Before(folder, name, same_file);
  auto result = change();
  ahead.After(touch);
  return result;
}

}  // namespace

Status PrefetchingFileSystem::CreateFolderAt(const Folder& folder, std::string_view name) {
  Status status = Changing(*ahead_, folder.path(), name, false,
                           [&] { return inner_.CreateFolderAt(Inner(folder), name); });
  if (status.ok()) ahead_->Made(JoinPath(folder.path(), name));
  return status;
}

Status PrefetchingFileSystem::RemoveFolderAt(const Folder& folder, std::string_view name) {
  return Changing(*ahead_, folder.path(), name, false,
                  [&] { return inner_.RemoveFolderAt(Inner(folder), name); });
}

Status PrefetchingFileSystem::DeleteFileAt(const Folder& folder, std::string_view name) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.DeleteFileAt(Inner(folder), name); });
}

Status PrefetchingFileSystem::RenameAt(const Folder& from_folder, std::string_view from,
                                       const Folder& to_folder, std::string_view to) {
  // A rename changes no file, only where its name stands.
  const Ahead::Touch touch = ahead_->Before(to_folder.path(), to, false);
  Status status = Changing(*ahead_, from_folder.path(), from, false, [&] {
    return inner_.RenameAt(Inner(from_folder), from, Inner(to_folder), to);
  });
  ahead_->After(touch);
  return status;
}

Status PrefetchingFileSystem::LinkFileAt(const std::string& existing, const Folder& folder,
                                         std::string_view name) {
  const Ahead::Touch touch = ahead_->Before(ParentFolder(existing), BaseName(existing), true);
  Status status = Changing(*ahead_, folder.path(), name, true,
                           [&] { return inner_.LinkFileAt(existing, Inner(folder), name); });
  ahead_->After(touch);
  return status;
}

Status PrefetchingFileSystem::SetPermissionsAt(const Folder& folder, std::string_view name,
                                               uint32_t permissions) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.SetPermissionsAt(Inner(folder), name, permissions); });
}

Status PrefetchingFileSystem::SetOwnerAt(const Folder& folder, std::string_view name,
                                         uint32_t uid, uint32_t gid) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.SetOwnerAt(Inner(folder), name, uid, gid); });
}

Status PrefetchingFileSystem::MakeWritableAt(const Folder& folder, std::string_view name) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.MakeWritableAt(Inner(folder), name); });
}

Status PrefetchingFileSystem::SetTimeAt(const Folder& folder, std::string_view name,
                                        uint64_t last_write) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.SetTimeAt(Inner(folder), name, last_write); });
}

Result<uint64_t> PrefetchingFileSystem::ProbeTimeGranularity(const Folder& folder) {
  return Changing(*ahead_, folder.path(), {}, false,
                  [&] { return inner_.ProbeTimeGranularity(Inner(folder)); });
}

Status PrefetchingFileSystem::CopyFileAt(const Folder& source, std::string_view name,
                                         const Folder& target, std::string_view target_name,
                                         const CopyOptions& options) {
  return Changing(*ahead_, target.path(), target_name, true, [&] {
    return inner_.CopyFileAt(Inner(source), name, Inner(target), target_name, options);
  });
}

bool PrefetchingFileSystem::IsLockedAt(const Folder& folder, std::string_view name) {
  return inner_.IsLockedAt(Inner(folder), name);
}

bool PrefetchingFileSystem::IsCopyDebrisAt(const Folder& folder, std::string_view name) {
  return inner_.IsCopyDebrisAt(Inner(folder), name);
}

Result<SecurityDescriptor> PrefetchingFileSystem::ReadSecurityAt(const Folder& folder,
                                                                 std::string_view name) {
  return inner_.ReadSecurityAt(Inner(folder), name);
}

Status PrefetchingFileSystem::WriteSecurityAt(const Folder& folder, std::string_view name,
                                              const SecurityDescriptor& descriptor) {
  return Changing(*ahead_, folder.path(), name, true,
                  [&] { return inner_.WriteSecurityAt(Inner(folder), name, descriptor); });
}

Result<std::string> PrefetchingFileSystem::ReadStreamAt(const Folder& folder,
                                                        std::string_view name,
                                                        std::string_view stream,
                                                        std::size_t max_bytes) {
  return inner_.ReadStreamAt(Inner(folder), name, stream, max_bytes);
}

// A named stream is a user extended attribute: writing one changes nothing
// a listing or a lookup tells, and forgetting what was fetched of the entry
// (a sub-folder about to be entered, on every pass) would waste it.
Status PrefetchingFileSystem::CopyStreamAt(const Folder& source, std::string_view name,
                                           const Folder& target, std::string_view target_name,
                                           std::string_view stream) {
  return inner_.CopyStreamAt(Inner(source), name, Inner(target), target_name, stream);
}

Status PrefetchingFileSystem::DeleteStreamAt(const Folder& folder, std::string_view name,
                                             std::string_view stream) {
  return inner_.DeleteStreamAt(Inner(folder), name, stream);
}

Result<std::string> PrefetchingFileSystem::ReadFile(const std::string& path) {
  return inner_.ReadFile(path);
}

Status PrefetchingFileSystem::ReplaceFile(const std::string& path, std::string_view contents) {
  return Changing(*ahead_, ParentFolder(path), BaseName(path), true,
                  [&] { return inner_.ReplaceFile(path, contents); });
}

Status PrefetchingFileSystem::AppendToFile(const std::string& path, std::string_view text) {
  return Changing(*ahead_, ParentFolder(path), BaseName(path), true,
                  [&] { return inner_.AppendToFile(path, text); });
}

Status PrefetchingFileSystem::DeleteFile(const std::string& path) {
  return Changing(*ahead_, ParentFolder(path), BaseName(path), true,
                  [&] { return inner_.DeleteFile(path); });
}

}  // namespace vorn::platform
