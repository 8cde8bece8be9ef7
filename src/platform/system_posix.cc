#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/system.h"

namespace vorn::platform {
namespace {

// Reads the leading number of text at `pos` and moves past it and one dot.
int NextNumber(const std::string& text, size_t& pos) {
  int value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos < text.size() && text[pos] == '.') ++pos;
  return value;
}

bool IsWritableFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
}

// Creates a folder and the folders above it that are missing.
Status CreateFolders(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    return S_ISDIR(st.st_mode) ? Status() : Status(MakeError(ENOTDIR, "create folder", path));
  }
  const std::string parent = ParentFolder(path);
  if (!parent.empty() && parent != path) {
    if (Status made = CreateFolders(parent); !made) return made;
  }
  if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
    return MakeError(errno, "create folder", path);
  }
  return {};
}

}  // namespace

std::string GetEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

OsFacts ReadOsFacts() {
  OsFacts facts;
  struct utsname uts;
  if (::uname(&uts) == 0) {
    facts.os_name = uts.sysname;
    const std::string release = uts.release;
    size_t pos = 0;
    facts.major = NextNumber(release, pos);
    facts.minor = NextNumber(release, pos);
    facts.patch = NextNumber(release, pos);
  }
  std::vector<char> host(1024, '\0');
  if (::gethostname(host.data(), host.size() - 1) == 0) facts.computer_name = host.data();

  std::vector<char> buffer(16384);
  struct passwd entry;
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr) {
    facts.user_name = found->pw_name;
  } else {
    facts.user_name = GetEnvironment("USER");
  }
  facts.windows_folder = GetEnvironment("Windir");
  facts.administrator = ::geteuid() == 0;
  return facts;
}

int ProcessorCount() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
  return static_cast<int>(std::max(::sysconf(_SC_NPROCESSORS_ONLN), 1L));
}

bool OnRoundTripFileSystem(const std::string& path) {
  struct statfs fs;
  if (::statfs(path.c_str(), &fs) != 0) return false;
  constexpr unsigned long kRoundTrip[] = {
      0x6969,      // nfs
      0x517B,      // smb
      0xFF534D42,  // cifs
      0xFE534D42,  // smb2
      0x65735546,  // fuse, fuseblk
      0x00C36400,  // ceph
      0x01021997,  // 9p
      0x5346414F,  // afs
      0x564C,      // ncp
  };
  const auto type = static_cast<unsigned long>(fs.f_type);
  return std::find(std::begin(kRoundTrip), std::end(kRoundTrip), type) != std::end(kRoundTrip);
}

int OpenFileLimit() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > 1 << 20) {
    return 1 << 20;
  }
  return static_cast<int>(limit.rlim_cur);
}

std::vector<std::string> MountPoints() {
  static const char* const kPseudo[] = {
      "proc",    "sysfs",       "cgroup", "cgroup2",    "devpts",    "securityfs", "debugfs",
      "tracefs", "pstore",      "bpf",    "mqueue",     "hugetlbfs", "configfs",   "fusectl",
      "autofs",  "binfmt_misc", "nsfs",   "rpc_pipefs", "efivarfs",  "devtmpfs"};
  std::vector<std::string> places = {"/"};
  const std::string home = GetEnvironment("HOME");
  if (!home.empty() && home != "/") places.push_back(home);
  FILE* mounts = ::fopen("/proc/self/mounts", "re");
  if (mounts == nullptr) return places;
  char line[4096];
  while (::fgets(line, sizeof line, mounts) != nullptr) {
    char device[1024], point[2048], type[128];
    if (std::sscanf(line, "%1023s %2047s %127s", device, point, type) != 3) continue;
    bool pseudo = false;
    for (const char* name : kPseudo) pseudo = pseudo || std::string(type) == name;
    std::string path = point;
    // /proc/mounts writes blanks and the like as octal escapes.
    for (size_t at; (at = path.find("\\040")) != std::string::npos;) path.replace(at, 4, " ");
    if (!pseudo && path != "/" && path.rfind("/proc", 0) != 0 && path.rfind("/sys", 0) != 0) {
      places.push_back(path);
    }
  }
  ::fclose(mounts);
  return places;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      return ParentFolder(std::string(buffer.data(), static_cast<size_t>(n)));
    }
    buffer.resize(buffer.size() * 2);
  }
}

Result<std::string> ResolveApplicationFolder(const std::string& home_option) {
  std::string folder = home_option;
  if (folder.empty()) folder = GetEnvironment("VORN_HOME");
  if (folder.empty()) {
    const std::string executable_folder = ExecutableFolder();
    const bool under_usr = executable_folder == "/usr" || executable_folder.rfind("/usr/", 0) == 0;
    if (!executable_folder.empty() && !under_usr && IsWritableFolder(executable_folder)) {
      folder = executable_folder;
    }
  }
  if (folder.empty()) {
    std::string config_home = GetEnvironment("XDG_CONFIG_HOME");
    if (config_home.empty()) {
      const std::string home = GetEnvironment("HOME");
      if (home.empty()) return MakeError(ENOENT, "find application folder", "$HOME");
      config_home = JoinPath(home, ".config");
    }
    folder = JoinPath(config_home, "vorn");
  }
  folder = WithoutTrailingSeparator(folder);
  if (Status made = CreateFolders(folder); !made) return made.error();
  // Every later use (the service unit, which systemd reads from "/", and the
  // nesting rules of pairs) needs the one absolute name of the folder.
  char* resolved = ::realpath(folder.c_str(), nullptr);
  if (resolved == nullptr) return MakeError(errno, "resolve", folder);
  folder = resolved;
  std::free(resolved);
  return folder;
}

NumberFormat UserNumberFormat() {
  // newlocale reads LANG/LC_ALL/LC_NUMERIC like setlocale(LC_NUMERIC, "")
  // would, but leaves the process's own locale (and number parsing) alone.
  locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) {
    user = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  }
  NumberFormat format;
  if (user != static_cast<locale_t>(nullptr)) {
    format.grouping_separator = ::nl_langinfo_l(THOUSEP, user);
    format.decimal_separator = ::nl_langinfo_l(RADIXCHAR, user);
    ::freelocale(user);
  }
  return format;
}

}  // namespace vorn::platform
