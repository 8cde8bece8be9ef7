// The floor of a pass where nothing changed: list both trees and look up
// every source entry on both sides, nothing else.
//
//   vorn_floor SOURCE TARGET

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

long long entries = 0;

std::vector<std::pair<std::string, unsigned char>> List(int fd) {
  std::vector<std::pair<std::string, unsigned char>> names;
  const int reading = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (reading < 0) return names;
  DIR* dir = ::fdopendir(reading);
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name != "." && name != "..") names.emplace_back(name, d->d_type);
  }
  ::closedir(dir);
  return names;
}

void Walk(int source, int target) {
  const auto names = List(source);
  std::unordered_set<std::string> in_source;
  for (const auto& [name, type] : names) in_source.insert(name);
  // The target is listed too: what it holds beyond the source must be found.
  for (const auto& [name, type] : List(target)) {
    if (in_source.count(name) == 0) std::fprintf(stderr, "extra %s\n", name.c_str());
  }
  for (const auto& [name, type] : names) {
    struct stat s, t;
    ++entries;
    ::fstatat(source, name.c_str(), &s, AT_SYMLINK_NOFOLLOW);
    ::fstatat(target, name.c_str(), &t, AT_SYMLINK_NOFOLLOW);
    if (type == DT_DIR) {
      const int sub_source = ::openat(source, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW);
      const int sub_target = ::openat(target, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW);
      if (sub_source >= 0 && sub_target >= 0) Walk(sub_source, sub_target);
      if (sub_source >= 0) ::close(sub_source);
      if (sub_target >= 0) ::close(sub_target);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorn_floor SOURCE TARGET\n");
    return 2;
  }
  const int source = ::open(argv[1], O_PATH | O_DIRECTORY);
  const int target = ::open(argv[2], O_PATH | O_DIRECTORY);
  if (source < 0 || target < 0) return 1;
  Walk(source, target);
  std::printf("%lld entries\n", entries);
  return 0;
}
