#include <sys/stat.h>

#include "platform/file_stamp.h"

namespace vorn::platform {

FileStamp StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.modified_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace vorn::platform
