#include "platform/path_identity.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/path.h"

namespace vorn::platform {
namespace {

struct NodeId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const NodeId&) const = default;
};

using Mount = FolderRelations::Mount;

// Where a folder is, or would be once made.
struct Place {
  std::vector<NodeId> ancestors;  // the nearest existing folder first, the root last
  std::vector<std::string> rest;  // the names below it that do not exist yet
  std::string full;               // the resolved path, rest included
  std::string device;             // the file system holding it; empty when unknown
  std::string inner;              // its path inside that file system
};

// mountinfo writes blanks, tabs, newlines and backslashes as "\ooo".
std::string Unescape(std::string_view field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits(field.substr(i + 1, 3));
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        text += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    text += field[i];
  }
  return text;
}

std::vector<Mount> ReadMounts() {
  std::vector<Mount> mounts;
  std::ifstream table("/proc/self/mountinfo");
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    if (fields >> id >> parent >> device >> root >> point) {
      mounts.push_back({device, Unescape(root), Unescape(point)});
    }
  }
  return mounts;
}

// Whether `path` lies strictly below `folder`; both resolved.
bool IsBelow(std::string_view path, std::string_view folder) {
  if (path.size() <= folder.size() || path.substr(0, folder.size()) != folder) return false;
  return folder.back() == kSeparator || path[folder.size()] == kSeparator;
}

std::string WithNames(std::string path, const std::vector<std::string>& names) {
  for (const std::string& name : names) path = JoinPath(path, name);
  return path;
}

std::vector<NodeId> AncestorIds(const std::string& resolved) {
  std::vector<NodeId> ids;
  std::string folder = resolved;
  while (!folder.empty()) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) ids.push_back({status.st_dev, status.st_ino});
    if (folder == "/") break;
    folder = ParentFolder(folder);
  }
  return ids;
}

Place Locate(std::string_view path, const std::vector<Mount>& mounts) {
  std::string existing = WithoutTrailingSeparator(path.empty() ? "." : path);
  std::vector<std::string> missing;  // deepest first
  std::string anchor;
  while (true) {
    if (char* resolved = ::realpath(existing.c_str(), nullptr)) {
      anchor = resolved;
      std::free(resolved);
      break;
    }
    std::string parent = ParentFolder(existing);
    if (parent.empty()) parent = ".";
    if (parent == existing) {
      anchor = "/";  // not even the starting point is there: place it at the root
      break;
    }
    missing.emplace_back(BaseName(existing));
    existing = std::move(parent);
  }

  Place place;
  // The names were never looked up, so "." and ".." count as written.
  for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
    if (name->empty() || *name == ".") continue;
    if (*name != "..") {
      place.rest.push_back(*name);
    } else if (!place.rest.empty()) {
      place.rest.pop_back();
    } else if (anchor != "/") {
      anchor = ParentFolder(anchor);
    }
  }
  place.ancestors = AncestorIds(anchor);
  place.full = WithNames(anchor, place.rest);

  const Mount* holder = nullptr;
  for (const Mount& mount : mounts) {
    // A later line for the same point was mounted over the earlier one.
    if ((anchor == mount.point || IsBelow(anchor, mount.point)) &&
        (holder == nullptr || mount.point.size() >= holder->point.size())) {
      holder = &mount;
    }
  }
  if (holder != nullptr) {
    place.device = holder->device;
    std::string_view below = std::string_view(anchor).substr(holder->point.size());
    while (!below.empty() && below.front() == kSeparator) below.remove_prefix(1);
    place.inner =
        WithNames(below.empty() ? holder->root : JoinPath(holder->root, below), place.rest);
  }
  return place;
}

bool SamePlace(const Place& a, const Place& b) {
  if (a.full == b.full) return true;
  if (!a.device.empty() && a.device == b.device && a.inner == b.inner) return true;
  return !a.ancestors.empty() && !b.ancestors.empty() &&
         a.ancestors.front() == b.ancestors.front() && a.rest == b.rest;
}

// Whether `a` lies strictly below `b`, once they are known not to be one.
bool PlacedBelow(const Place& a, const Place& b) {
  if (IsBelow(a.full, b.full)) return true;
  if (!a.device.empty() && a.device == b.device && IsBelow(a.inner, b.inner)) return true;
  if (b.ancestors.empty()) return false;
  const auto found = std::find(a.ancestors.begin(), a.ancestors.end(), b.ancestors.front());
  if (found == a.ancestors.end()) return false;
  // Below the same existing folder, `a` is inside `b` when b's missing
  // names lead the way to a's; further up, only an existing `b` holds `a`
  // (a's existing folder cannot lie in one that is not there).
  if (found == a.ancestors.begin()) {
    return b.rest.size() < a.rest.size() &&
           std::equal(b.rest.begin(), b.rest.end(), a.rest.begin());
  }
  return b.rest.empty();
}

}  // namespace

FolderRelations::FolderRelations() : mounts_(ReadMounts()) {}

FolderRelation RelateFolders(std::string_view first, std::string_view second) {
  return FolderRelations().Relate(first, second);
}

FolderRelation FolderRelations::Relate(std::string_view first, std::string_view second) const {
  const Place a = Locate(first, mounts_);
  const Place b = Locate(second, mounts_);
  if (SamePlace(a, b)) return FolderRelation::kSame;
  if (PlacedBelow(a, b)) return FolderRelation::kFirstInside;
  if (PlacedBelow(b, a)) return FolderRelation::kSecondInside;
  return FolderRelation::kUnrelated;
}

}  // namespace vorn::platform
