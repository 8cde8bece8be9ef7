#include "fuzz/fuzz_support.h"

#include <fstream>

namespace vorn::fuzz {

std::string WriteScratch(std::string_view data, const char* name) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/vorn-fuzz-XXXXXX";
    Require(::mkdtemp(pattern.data()) != nullptr);
    return pattern;
  }();
  const std::string path = folder + "/" + name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  Require(file.write(data.data(), static_cast<std::streamsize>(data.size())).flush().good());
  return path;
}

}  // namespace vorn::fuzz
