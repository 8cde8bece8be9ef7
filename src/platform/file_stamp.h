#pragma once

#include <cstdint>
#include <string>

namespace vorn::platform {

/// What tells that a file may have changed without reading it: which file
/// the name leads to (a replacement through a rename is another inode), its
/// size and its modification time to the nanosecond.
struct FileStamp {
  bool exists = false;  ///< false when the name leads nowhere (or cannot be looked up)
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;  ///< nanoseconds since 1970
  bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file `path` names now, links followed: one stat.
FileStamp StampOf(const std::string& path);

}  // namespace vorn::platform
