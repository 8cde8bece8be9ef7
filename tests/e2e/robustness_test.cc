// The built vorn on trees that try to break it: crashes mid-pass, hostile
// names and links, very long paths, many pairs.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "e2e/e2e_fixture.h"
#include "platform/posix_file_system.h"

namespace vorn {
namespace {

class RobustnessTest : public E2eTest {
 protected:
  // vorn_treecmp's verdict on the mirror of "src" in "dst", with what differs.
  std::string Differences() {
    const std::string command = std::string(VORN_TREECMP) + " '" + dir_.Path("src") + "' '" +
                                dir_.Path("dst") + "' > '" + dir_.Path("cmp.txt") + "'";
    return std::system(command.c_str()) == 0 ? "" : dir_.Read("cmp.txt");
  }
  // A second pass has nothing left to do.
  void ExpectSettled() {
    const Outcome again = Once();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(Has(again.out, "Files: 0 created, 0 modified, 0 removed"));
  }
};

TEST_F(RobustnessTest, KilledAtRandomMomentsTheNextPassesConverge) {
  for (int f = 0; f < 4; ++f) {
    const std::string folder = "src/f" + std::to_string(f);
    dir_.MakeFolder(folder);
    for (int i = 0; i < 250; ++i) dir_.Write(folder + "/s" + std::to_string(i), std::to_string(i));
  }
  Pair();
  std::mt19937 random(1204);
  int killed = 0;
  for (int round = 0; round < 8; ++round) {
    // New content each round: half the copies replace an existing target.
    for (int b = 0; b < 24; ++b) {
      dir_.Write("src/big" + std::to_string(b),
                 std::string(1 << 20, static_cast<char>('a' + round)));
    }
    VornProcess vorn(VORN_BINARY, Args({"--once"}), dir_.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 120));
    vorn.Signal(SIGKILL);
    killed += vorn.Wait() == -1 ? 1 : 0;
  }
  ASSERT_GT(killed, 0) << "every pass ended before its kill: nothing was tested";
  ASSERT_EQ(Once().status, 0);
  ExpectSettled();
  EXPECT_EQ(Differences(), "");  // debris left in the target included
  // A configuration write cut short leaves its marked temporary; a start clears it.
  for (const std::string& name : dir_.Names("home")) {
    EXPECT_EQ(dir_.GetAttribute("home/" + name, platform::kTemporaryMarkAttribute), "<none>");
  }
}

// That links are copied as links, never followed, is the engine's tests' concern.
TEST_F(RobustnessTest, HostileNamesAndLinksMirrorExactly) {
  const std::string names[] = {std::string(255, 'n'), "new\nline",     "back\\slash",
                               "bad\xff\xfe utf8",    "-rf",           "--help",
                               " leading blank",      "ends with dot."};
  for (const std::string& name : names) dir_.Write("src/" + name, name);
  dir_.Make(
      {"src/loop-a->loop-b", "src/loop-b->loop-a", "src/sub\nfolder/", "src/sub\nfolder/inner"});
  Pair();

  const Outcome run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Differences(), "");
  ExpectSettled();
}

// One descriptor per level, or per pair, would already pass the limit of 64.
TEST_F(RobustnessTest, ATreeDeeperThanThePathLimitAndAThousandPairsWithinSixtyFourOpenFiles) {
  constexpr int kLevels = 70;
  // Each level is opened from the one above: the whole path is too long for
  // one system call.
  const auto walk = [&](const std::string& root, bool make) {
    int fd = ::open(dir_.Path(root).c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kLevels && fd >= 0; ++level) {
      const std::string name(60, 'a' + level % 26);
      if (make) ::mkdirat(fd, name.c_str(), 0755);
      const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
      ::close(fd);
      fd = next;
    }
    return fd;
  };
  // The bottom folder is reached through its descriptor's entry in /proc.
  const auto bottom = [](int fd) { return "/proc/self/fd/" + std::to_string(fd) + "/deep.txt"; };
  const int src = walk("src", true);
  ASSERT_TRUE(std::ofstream(bottom(src)) << "bottom");
  ::close(src);
  ASSERT_GT(dir_.Path("src").size() + kLevels * 61, 4096u);
  std::vector<std::pair<std::string, std::string>> pairs = {{"src", "dst"}};
  for (int i = 0; i < 1000; ++i) {
    const std::string n = std::to_string(i);
    dir_.Make({"s" + n + "/", "t" + n + "/", "s" + n + "/f=" + n});
    pairs.emplace_back("s" + n, "t" + n);
  }
  pairs.emplace_back("missing", "t0");
  Pairs(pairs, "[Logs]\nLogs=1\nFichiersLogs=1\n");

  const Outcome run = Vorn({"--once"}, {}, 64);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "1001 files in 1002 source folders (1 invalid source folder; 0 invalid "
                           "target folder)\nFiles: 1001 created, 0 modified, 0 removed, 0 locked; "
                           "Folders: 70 created"));
  EXPECT_EQ(dir_.Read("t999/f"), "999");
  const int dst = walk("dst", false);
  std::string text;
  EXPECT_TRUE(std::getline(std::ifstream(bottom(dst)), text) && text == "bottom") << text;
  ::close(dst);
  ExpectSettled();
}

}  // namespace
}  // namespace vorn
