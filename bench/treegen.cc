// Writes the benchmark trees, the same bytes, names and times for the same
// scenario, scale and seed on any machine.
//
//   vorn_treegen SCENARIO SCALE SEED FOLDER
//
// S1 many tiny files, S2 mixed sizes in a deep tree, S3 a few large files,
// S4 one flat folder, S5 empty folders, S6 S2 with user attributes and ACLs.

#include <acl/libacl.h>
#include <fcntl.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// splitmix64: tiny, fast, and the same everywhere (unlike std distributions).
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  double Normal() {
    const double u = std::max(Unit(), 1e-12);
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Unit());
  }
};

constexpr int64_t kBaseTime = 1700000000;  // 2023-11-14

void Fail(const std::string& what) {
  std::perror(what.c_str());
  std::exit(1);
}

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) Fail(path);
}

void WriteFile(const std::string& path, uint64_t size, Random& random) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Fail(path);
  static std::vector<uint64_t> block(1 << 16);
  uint64_t left = size;
  while (left > 0) {
    const size_t words = static_cast<size_t>(std::min<uint64_t>(block.size(), (left + 7) / 8));
    for (size_t i = 0; i < words; ++i) block[i] = random.Next();
    const size_t bytes = static_cast<size_t>(std::min<uint64_t>(left, words * 8));
    if (::write(fd, block.data(), bytes) != static_cast<ssize_t>(bytes)) Fail(path);
    left -= bytes;
  }
  const struct timespec times[2] = {{kBaseTime + static_cast<time_t>(random.Below(86400 * 365)),
                                     static_cast<long>(random.Below(1000000000))},
                                    {kBaseTime + static_cast<time_t>(random.Below(86400 * 365)),
                                     static_cast<long>(random.Below(1000000000))}};
  ::futimens(fd, times);
  ::close(fd);
}

// A deep, uneven tree of `count` folders at most `depth` levels down.
std::vector<std::string> DeepFolders(const std::string& root, size_t count, int depth,
                                     Random& random) {
  std::vector<std::string> folders = {root};
  std::vector<int> depths = {0};
  std::vector<size_t> open = {0};  // folders that may still get children
  for (size_t k = 1; k < count; ++k) {
    const size_t parent = open[random.Below(open.size())];
    const std::string path = folders[parent] + "/d" + std::to_string(k);
    MakeFolder(path);
    folders.push_back(path);
    depths.push_back(depths[parent] + 1);
    if (depths.back() < depth) open.push_back(folders.size() - 1);
  }
  return folders;
}

void Decorate(const std::string& path, Random& random) {
  // Two user attributes and one extra ACL entry per file.
  for (const char* name : {"user.vorn.bench.a", "user.vorn.bench.b"}) {
    std::string value(16 + random.Below(48), 'v');
    for (char& c : value) c = static_cast<char>('a' + random.Below(26));
    if (::setxattr(path.c_str(), name, value.data(), value.size(), 0) != 0) Fail(path);
  }
  acl_t acl = acl_from_text("u::rw-,u:12345:r--,g::r--,m::r--,o::r--");
  if (acl == nullptr || acl_set_file(path.c_str(), ACL_TYPE_ACCESS, acl) != 0) Fail(path);
  acl_free(acl);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: vorn_treegen S1..S6 SCALE SEED FOLDER\n");
    return 2;
  }
  const std::string scenario = argv[1];
  const double scale = std::atof(argv[2]);
  Random random{std::strtoull(argv[3], nullptr, 10)};
  const std::string root = argv[4];
  MakeFolder(root);
  const auto scaled = [&](double n) { return std::max<size_t>(1, std::llround(n * scale)); };

  if (scenario == "S1") {
    const size_t folders = scaled(1000);
    for (size_t f = 0; f < folders; ++f) MakeFolder(root + "/f" + std::to_string(f));
    const size_t files = scaled(200000);
    for (size_t i = 0; i < files; ++i) {
      WriteFile(root + "/f" + std::to_string(i % folders) + "/t" + std::to_string(i),
                random.Below(4097), random);
    }
  } else if (scenario == "S2" || scenario == "S6") {
    const std::vector<std::string> folders = DeepFolders(root, scaled(6000), 6, random);
    const size_t files = scaled(100000);
    for (size_t i = 0; i < files; ++i) {
      // Log-normal sizes: a median of about 3 KiB and a long tail, capped at 16 MiB.
      const double size = std::min(16.0 * 1024 * 1024, std::exp(8.0 + 1.6 * random.Normal()));
      const std::string path =
          folders[random.Below(folders.size())] + "/m" + std::to_string(i) + ".dat";
      WriteFile(path, static_cast<uint64_t>(size), random);
      if (scenario == "S6") Decorate(path, random);
    }
  } else if (scenario == "S3") {
    for (int i = 0; i < 4; ++i) {
      WriteFile(root + "/large" + std::to_string(i) + ".bin",
                static_cast<uint64_t>(256.0 * 1024 * 1024 * scale), random);
    }
  } else if (scenario == "S4") {
    const size_t files = scaled(100000);
    for (size_t i = 0; i < files; ++i) {
      WriteFile(root + "/flat" + std::to_string(i), random.Below(1025), random);
    }
  } else if (scenario == "S5") {
    const size_t folders = scaled(80000);
    const size_t per_top = 200;
    for (size_t i = 0; i < folders; ++i) {
      const std::string top = root + "/e" + std::to_string(i / per_top);
      if (i % per_top == 0) MakeFolder(top);
      MakeFolder(top + "/" + std::to_string(i));
    }
  } else {
    std::fprintf(stderr, "unknown scenario %s\n", scenario.c_str());
    return 2;
  }
  return 0;
}
