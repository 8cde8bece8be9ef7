#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn::platform {

/// How one folder lies relative to another.
enum class FolderRelation {
  kUnrelated,
  kSame,          ///< one folder, whatever the two paths
  kFirstInside,   ///< the first lies somewhere below the second
  kSecondInside,  ///< the second lies somewhere below the first
};

/// How folder `first` lies relative to folder `second`, as the system sees
/// them, not as their paths read. Each path is resolved (links followed) and
/// each folder is known by the device and inode of itself and of every
/// ancestor, and by the file system and path inside it that its mount shows;
/// so neither a link nor a bind mount (one folder seen at two paths) can hide
/// that one folder holds the other. A folder that does not exist yet is
/// placed by its nearest existing ancestor and the names below it, since that
/// is where it would be made. Never fails: what cannot be examined counts as
/// not existing.
///
/// POSIX: the mount view comes from /proc/self/mountinfo where there is one
/// (Linux). Windows would use the volume serial number and file index of
/// GetFileInformationByHandle in place of device and inode.
FolderRelation RelateFolders(std::string_view first, std::string_view second);

/// RelateFolders for many folders at once: the mount view is read once, when
/// the object is made, so a whole pair list pays for it once.
class FolderRelations {
 public:
  /// One line of the mount table: which part of which file system shows where.
  struct Mount {
    std::string device;  ///< "major:minor"
    std::string root;    ///< the folder of the file system that is shown
    std::string point;   ///< where it shows
  };

  FolderRelations();
  FolderRelation Relate(std::string_view first, std::string_view second) const;

 private:
  std::vector<Mount> mounts_;
};

}  // namespace vorn::platform
