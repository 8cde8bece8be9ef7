#include "support/test_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace vorn::testing {

TestFolder::TestFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vorn-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
  }
  path_ = pattern;
}

TestFolder::~TestFolder() {
  RemoveTree(path_);
}

std::string TestFolder::Path(std::string_view relative) const {
  if (relative.empty()) return path_;
  return path_ + "/" + std::string(relative);
}

std::string TestFolder::RelativePath(std::string_view relative) const {
  // ".." at the root stays at the root, so enough of them start anywhere.
  std::string climb;
  for (int i = 0; i < 64; ++i) climb += "../";
  return climb + Path(relative).substr(1);
}

void TestFolder::Write(std::string_view relative, std::string_view content, mode_t mode) const {
  const std::string path = Path(relative);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0) << path << ": " << std::strerror(errno);
  ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  ASSERT_EQ(::fchmod(fd, mode), 0);
  ::close(fd);
}

std::string TestFolder::Read(std::string_view relative) const {
  const std::string path = Path(relative);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ADD_FAILURE() << path << ": " << std::strerror(errno);
    return {};
  }
  std::string content;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    content.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return content;
}

void TestFolder::MakeFolder(std::string_view relative, mode_t mode) const {
  const std::string path = Path(relative);
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path << ": " << std::strerror(errno);
  ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

void TestFolder::MakeLink(std::string_view relative, std::string_view text) const {
  const std::string path = Path(relative);
  ASSERT_EQ(::symlink(std::string(text).c_str(), path.c_str()), 0) << std::strerror(errno);
}

bool TestFolder::Exists(std::string_view relative) const {
  struct stat st;
  return ::lstat(Path(relative).c_str(), &st) == 0;
}

std::vector<std::string> TestFolder::Names(std::string_view relative) const {
  std::vector<std::string> names;
  DIR* dir = ::opendir(Path(relative).c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

void TestFolder::SetTime(std::string_view relative, int64_t seconds, long nanoseconds) const {
  const struct timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                                    {static_cast<time_t>(seconds), nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

void TestFolder::SetAttribute(std::string_view relative, const std::string& name,
                              std::string_view value) const {
  ASSERT_EQ(::lsetxattr(Path(relative).c_str(), name.c_str(), value.data(), value.size(), 0), 0)
      << name << ": " << std::strerror(errno);
}

std::string TestFolder::GetAttribute(std::string_view relative, const std::string& name) const {
  char buffer[65536];
  const ssize_t n = ::lgetxattr(Path(relative).c_str(), name.c_str(), buffer, sizeof buffer);
  if (n < 0) return "<none>";
  return std::string(buffer, static_cast<size_t>(n));
}

bool TestFolder::SupportsUserAttributes() const {
  const std::string probe = Path(".xattr-probe");
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool supported = ::fsetxattr(fd, "user.probe", "x", 1, 0) == 0;
  ::close(fd);
  ::unlink(probe.c_str());
  return supported;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    ::chmod(path.c_str(), 0700);
    if (DIR* dir = ::opendir(path.c_str())) {
      std::vector<std::string> names;
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      ::closedir(dir);
      for (const std::string& name : names) RemoveTree(path + "/" + name);
    }
    ::rmdir(path.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

}  // namespace vorn::testing
