// The built vorn on trees that try to break it: crashes mid-pass, hostile
// names and links, very long paths, many pairs.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/hex_path.h"
#include "support/test_folder.h"
#include "support/vorn_process.h"

namespace vorn {
namespace {

using testing::TestFolder;
using testing::VornProcess;

class RobustnessTest : public ::testing::Test {
 protected:
  RobustnessTest() { dir_.MakeFolder("home"); }

  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs,
             const std::string& settings = "[Mirror_1]\nEffacer=1\n") {
    std::string text;
    for (const auto& [source, target] : pairs) {
      text += "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
    }
    dir_.Write("home/Vorn.w", text);
    dir_.Write("home/Vorn.ini", settings);
  }
  int Once(std::string* out = nullptr) {
    VornProcess vorn(VORN_BINARY, {"--once", "--home", dir_.Path("home")}, dir_.path());
    const int status = vorn.Wait();
    if (out != nullptr) *out = vorn.Out();
    return status;
  }
  // vorn_treecmp's verdict on a mirror, with what differs.
  std::string Differences(const std::string& source, const std::string& target) {
    const std::string command = std::string(VORN_TREECMP) + " '" + dir_.Path(source) + "' '" +
                                dir_.Path(target) + "' > '" + dir_.Path("cmp.txt") + "'";
    return std::system(command.c_str()) == 0 ? "" : dir_.Read("cmp.txt");
  }
  // Copy debris anywhere below a folder.
  int Debris(const std::string& folder) {
    int found = 0;
    auto opened = fs_->OpenFolder(folder);
    if (DIR* d = opened.ok() ? ::opendir(folder.c_str()) : nullptr) {
      while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (fs_->IsCopyDebrisAt(**opened, name)) ++found;
        if (e->d_type == DT_DIR) found += Debris(folder + "/" + name);
      }
      ::closedir(d);
    }
    return found;
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
};

TEST_F(RobustnessTest, KilledAtRandomMomentsTheNextPassesConverge) {
  dir_.MakeFolder("src");
  dir_.MakeFolder("dst");
  for (int f = 0; f < 4; ++f) {
    dir_.MakeFolder("src/f" + std::to_string(f));
    for (int i = 0; i < 250; ++i) {
      dir_.Write("src/f" + std::to_string(f) + "/s" + std::to_string(i), std::to_string(i));
    }
  }
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  std::mt19937 random(1204);
  int killed = 0;
  for (int round = 0; round < 8; ++round) {
    // New content each round: half the copies replace an existing target.
    for (int b = 0; b < 24; ++b) {
      dir_.Write("src/big" + std::to_string(b),
                 std::string(1 << 20, static_cast<char>('a' + round)));
    }
    VornProcess vorn(VORN_BINARY, {"--once", "--home", dir_.Path("home")}, dir_.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 120));
    vorn.Signal(SIGKILL);
    killed += vorn.Wait() == -1 ? 1 : 0;
  }
  ASSERT_GT(killed, 0) << "every pass ended before its kill: nothing was tested";
  ASSERT_EQ(Once(), 0);
  std::string out;
  ASSERT_EQ(Once(&out), 0);
  EXPECT_NE(out.find("Files: 0 created, 0 modified, 0 removed"), std::string::npos) << out;
  EXPECT_EQ(Differences("src", "dst"), "");
  EXPECT_EQ(Debris(dir_.Path("dst")), 0);
  EXPECT_EQ(Debris(dir_.Path("home")), 0);
}

TEST_F(RobustnessTest, HostileNamesAndLinksMirrorWithoutEscaping) {
  dir_.MakeFolder("outside");
  dir_.Write("outside/precious", "keep");
  dir_.MakeFolder("src");
  dir_.MakeFolder("dst");
  const std::vector<std::string> names = {std::string(255, 'n'), "new\nline",     "back\\slash",
                                          "bad\xff\xfe utf8",    "-rf",           "--help",
                                          " leading blank",      "ends with dot."};
  for (const std::string& name : names) dir_.Write("src/" + name, name);
  dir_.MakeLink("src/loop-a", "loop-b");
  dir_.MakeLink("src/loop-b", "loop-a");
  dir_.MakeLink("src/escape", "../outside");
  dir_.MakeLink("dst/stale-escape", "../outside");  // obsolete in the target
  dir_.MakeFolder("src/sub\nfolder");
  dir_.Write("src/sub\nfolder/inner", "i");
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});

  std::string out;
  ASSERT_EQ(Once(&out), 0);
  EXPECT_EQ(Differences("src", "dst"), "");
  EXPECT_EQ(dir_.Read("outside/precious"), "keep");
  EXPECT_EQ(dir_.Names("outside"), std::vector<std::string>{"precious"});
  EXPECT_FALSE(dir_.Exists("dst/stale-escape"));
  ASSERT_EQ(Once(&out), 0);
  EXPECT_NE(out.find("Files: 0 created, 0 modified, 0 removed"), std::string::npos) << out;
}

TEST_F(RobustnessTest, PathsFarLongerThanThePathLimit) {
  std::string relative;
  for (int level = 0; level < 30; ++level) relative += "/" + std::string(200, 'a' + level % 26);
  std::string made = "src";
  dir_.MakeFolder("dst");
  dir_.MakeFolder(made);
  // mkdir through chdir: the full path is too long for one system call.
  const int back = ::open(".", O_RDONLY);
  ASSERT_EQ(::chdir(dir_.Path("src").c_str()), 0);
  for (int level = 0; level < 30; ++level) {
    const std::string name(200, 'a' + level % 26);
    ASSERT_EQ(::mkdir(name.c_str(), 0755), 0);
    ASSERT_EQ(::chdir(name.c_str()), 0);
  }
  FILE* file = std::fopen("deep.txt", "w");
  std::fputs("bottom", file);
  std::fclose(file);
  ASSERT_EQ(::fchdir(back), 0);
  ::close(back);
  ASSERT_GT(dir_.Path("src").size() + relative.size(), 4096u);

  Pairs({{dir_.Path("src"), dir_.Path("dst")}}, "[Logs]\nLogs=1\nFichiersLogs=1\n");
  std::string out;
  ASSERT_EQ(Once(&out), 0);
  EXPECT_NE(out.find("1 file in 1 source folder"), std::string::npos) << out;
  EXPECT_NE(out.find("Files: 1 created"), std::string::npos) << out;
  EXPECT_NE(out.find("Folders: 30 created"), std::string::npos) << out;
  ASSERT_EQ(Once(&out), 0);
  EXPECT_NE(out.find("Files: 0 created"), std::string::npos) << out;
}

TEST_F(RobustnessTest, AThousandPairs) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 1000; ++i) {
    const std::string n = std::to_string(i);
    dir_.MakeFolder("s" + n);
    dir_.MakeFolder("t" + n);
    dir_.Write("s" + n + "/f", n);
    pairs.emplace_back(dir_.Path("s" + n), dir_.Path("t" + n));
  }
  pairs.emplace_back(dir_.Path("missing"), dir_.Path("t0"));
  Pairs(pairs, "");
  std::string out;
  ASSERT_EQ(Once(&out), 0);
  EXPECT_NE(out.find("1000 files in 1001 source folders (1 invalid source folder; 0 invalid "
                     "target folder)"),
            std::string::npos)
      << out;
  EXPECT_EQ(dir_.Read("t999/f"), "999");
}

}  // namespace
}  // namespace vorn
