#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace vorn::fuzz {

std::string WriteScratch(std::string_view data, const char* name) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/vorn-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  const std::string path = folder + "/" + name;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) std::abort();
  if (!data.empty() && ::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
    std::abort();
  }
  ::close(fd);
  return path;
}

}  // namespace vorn::fuzz
