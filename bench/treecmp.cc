// Compares a mirror with its source: names, kinds, content, permission
// bits, last-write times to the nanosecond, user extended attributes and,
// with --acl, access ACLs. Folder times are not compared: a mirror keeps
// what is in folders, not when they last changed.
//
//   vorn_treecmp [--acl] SOURCE TARGET     (status 0 when equal)

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

bool compare_acl = false;
int differences = 0;

void Differ(const std::string& path, const char* what) {
  if (++differences <= 20) std::printf("differs: %s (%s)\n", path.c_str(), what);
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* d = ::readdir(dir)) {
      const std::string name = d->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    ::closedir(dir);
  }
  return names;
}

std::map<std::string, std::string> Attributes(const std::string& path) {
  std::map<std::string, std::string> values;
  char list[65536];
  const ssize_t n = ::llistxattr(path.c_str(), list, sizeof list);
  for (ssize_t i = 0; i < n; i += static_cast<ssize_t>(std::strlen(list + i)) + 1) {
    const std::string name = list + i;
    const bool wanted =
        name.rfind("user.", 0) == 0 || (compare_acl && name == "system.posix_acl_access");
    if (!wanted) continue;
    char value[65536];
    const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value, sizeof value);
    values[name] = size < 0 ? "<unreadable>" : std::string(value, static_cast<size_t>(size));
  }
  return values;
}

bool SameContent(const std::string& a, const std::string& b) {
  const int fa = ::open(a.c_str(), O_RDONLY);
  const int fb = ::open(b.c_str(), O_RDONLY);
  bool same = fa >= 0 && fb >= 0;
  static std::vector<char> ba(1 << 20), bb(1 << 20);
  while (same) {
    const ssize_t na = ::read(fa, ba.data(), ba.size());
    const ssize_t nb = ::read(fb, bb.data(), bb.size());
    if (na != nb || na < 0) same = false;
    if (na <= 0) break;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(na)) != 0) same = false;
  }
  if (fa >= 0) ::close(fa);
  if (fb >= 0) ::close(fb);
  return same;
}

void Compare(const std::string& source, const std::string& target, bool roots = false) {
  const std::set<std::string> in_source = Names(source);
  const std::set<std::string> in_target = Names(target);
  for (const std::string& name : in_target) {
    // A target's versions are no part of the mirror.
    if (roots && name == ".vorn-versions") continue;
    if (in_source.count(name) == 0) Differ(target + "/" + name, "not in the source");
  }
  for (const std::string& name : in_source) {
    const std::string s = source + "/" + name;
    const std::string t = target + "/" + name;
    struct stat a, b;
    if (::lstat(s.c_str(), &a) != 0) continue;
    if (::lstat(t.c_str(), &b) != 0) {
      Differ(t, "missing");
      continue;
    }
    if ((a.st_mode & S_IFMT) != (b.st_mode & S_IFMT)) {
      Differ(t, "kind");
      continue;
    }
    if (!S_ISLNK(a.st_mode) && (a.st_mode & 07777) != (b.st_mode & 07777)) Differ(t, "permissions");
    if (Attributes(s) != Attributes(t)) Differ(t, "extended attributes");
    if (S_ISDIR(a.st_mode)) {
      Compare(s, t);
      continue;
    }
    if (a.st_mtim.tv_sec != b.st_mtim.tv_sec || a.st_mtim.tv_nsec != b.st_mtim.tv_nsec) {
      Differ(t, "time");
    }
    if (a.st_size != b.st_size) {
      Differ(t, "size");
    } else if (S_ISREG(a.st_mode) && !SameContent(s, t)) {
      Differ(t, "content");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::string(argv[1]) == "--acl") {
    compare_acl = true;
    first = 2;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: vorn_treecmp [--acl] SOURCE TARGET\n");
    return 2;
  }
  Compare(argv[first], argv[first + 1], /*roots=*/true);
  if (differences > 20) std::printf("... %d differences in all\n", differences);
  return differences == 0 ? 0 : 1;
}
