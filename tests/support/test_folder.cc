#include "support/test_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace vorn::testing {

namespace fs = std::filesystem;

TestFolder::TestFolder() {
  const char* base = std::getenv("TMPDIR");
  path_ = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vorn-test-XXXXXX";
  if (::mkdtemp(path_.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
}

std::string TestFolder::Path(std::string_view relative) const {
  return relative.empty() ? path_ : path_ + "/" + std::string(relative);
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
  EXPECT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  // fchmod, unlike the mode of open, is not cut by the umask.
  EXPECT_EQ(::fchmod(fd, mode), 0);
  ::close(fd);
}

std::string TestFolder::Read(std::string_view relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  if (!in) ADD_FAILURE() << Path(relative) << ": cannot be read";
  return {std::istreambuf_iterator<char>(in), {}};
}

void TestFolder::MakeFolder(std::string_view relative, mode_t mode) const {
  const std::string path = Path(relative);
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path << ": " << std::strerror(errno);
  EXPECT_EQ(::chmod(path.c_str(), mode), 0);
}

void TestFolder::MakeLink(std::string_view relative, std::string_view text) const {
  EXPECT_EQ(::symlink(std::string(text).c_str(), Path(relative).c_str()), 0) << relative;
}

void TestFolder::Make(std::initializer_list<std::string_view> entries) const {
  for (const std::string_view entry : entries) {
    const size_t link = entry.find("->"), equals = entry.find('=');
    if (entry.ends_with('/')) {
      MakeFolder(entry);
    } else if (link != entry.npos) {
      MakeLink(entry.substr(0, link), entry.substr(link + 2));
    } else {
      Write(entry.substr(0, equals), equals == entry.npos ? entry : entry.substr(equals + 1));
    }
  }
}

bool TestFolder::Exists(std::string_view relative) const {
  struct stat st;
  return ::lstat(Path(relative).c_str(), &st) == 0;
}

std::vector<std::string> TestFolder::Names(std::string_view relative) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(Path(relative), error)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void TestFolder::SetTime(std::string_view relative, int64_t seconds, long nanoseconds) const {
  const struct timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                                    {static_cast<time_t>(seconds), nanoseconds}};
  EXPECT_EQ(::utimensat(AT_FDCWD, Path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

void TestFolder::SetAttribute(std::string_view relative, const std::string& name,
                              std::string_view value) const {
  EXPECT_EQ(::lsetxattr(Path(relative).c_str(), name.c_str(), value.data(), value.size(), 0), 0)
      << name << ": " << std::strerror(errno);
}

std::string TestFolder::GetAttribute(std::string_view relative, const std::string& name) const {
  char buffer[65536];
  const ssize_t n = ::lgetxattr(Path(relative).c_str(), name.c_str(), buffer, sizeof buffer);
  return n < 0 ? "<none>" : std::string(buffer, static_cast<size_t>(n));
}

bool TestFolder::SupportsUserAttributes() const {
  // Where a folder keeps one, its files do too.
  const bool supported = ::setxattr(path_.c_str(), "user.vorn-probe", "x", 1, 0) == 0;
  ::removexattr(path_.c_str(), "user.vorn-probe");
  return supported;
}

void RemoveTree(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(path, error))) {
    // A folder a test made unreadable or read-only must still be emptied.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    for (const auto& entry : fs::directory_iterator(path, error)) RemoveTree(entry.path());
  }
  fs::remove(path, error);
}

}  // namespace vorn::testing
