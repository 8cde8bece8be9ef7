// The built vorn on trees where a careless mirror would destroy what it
// should keep: unreadable and unmounted sources, nested pairs, links swapped
// in mid-pass, names that look like Vorn's own, names that look like markup.

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include <gtest/gtest.h>

#include "settings/hex_path.h"
#include "support/test_folder.h"
#include "support/vorn_process.h"

namespace vorn {
namespace {

using testing::TestFolder;
using testing::VornProcess;

constexpr uid_t kNobody = 65534;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class SafetyTest : public ::testing::Test {
 protected:
  SafetyTest() {
    dir_.MakeFolder("home");
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
  }

  // Writes the pairs file and the configuration (sections and keys as text).
  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs,
             const std::string& ini = "[Mirror_1]\nEffacer=1\n") {
    std::string text;
    for (const auto& [source, target] : pairs) {
      text += "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
    }
    dir_.Write("home/Vorn.w", text);
    dir_.Write("home/Vorn.ini", ini);
  }

  // One `vorn --once`; as the unprivileged user `nobody` when asked, which
  // needs root to switch and a tree that user may enter.
  Outcome Once(bool as_nobody = false) {
    std::vector<std::string> args = {"--once", "--home", dir_.Path("home")};
    std::string binary = VORN_BINARY;
    if (as_nobody) {
      args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", binary});
      binary = "/usr/bin/setpriv";
    }
    VornProcess vorn(binary, args, dir_.path());
    Outcome run;
    run.status = vorn.Wait();
    run.out = vorn.Out();
    run.err = vorn.Err();
    return run;
  }

  // Hands the whole test folder to `nobody`; false (the test should skip)
  // when this process cannot.
  bool GiveToNobody() {
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) return false;
    const std::string command = "chown -R 65534:65534 '" + dir_.path() + "' && chmod 755 '" +
                                dir_.path() + "'";
    return std::system(command.c_str()) == 0;
  }

  std::string LogText() {
    for (const std::string& name : dir_.Names("home")) {
      if (name.rfind("Log Vorn ", 0) == 0) return dir_.Read("home/" + name);
    }
    return "<no log>";
  }

  TestFolder dir_;
};

// Until the pass itself leaves refused pairs alone, running these would do
// the very damage they guard against.
constexpr bool kPassRefusesPairs = false;

TEST_F(SafetyTest, NestedPairsAndTargetsOverOwnFilesLeaveEveryFileInPlace) {
  if (!kPassRefusesPairs) GTEST_SKIP() << "the pass still mirrors refused pairs";
  struct Case {
    std::string source, target, settings, why;
    std::string absent;  // what a pass would have made
    std::string files;   // written before, each holding its name; must stay
  };
  const std::vector<Case> cases = {
      {"all/incoming", "all", "Effacer=1", "the source folder lies inside the target folder",
       "all/new", "all/kept all/incoming/new"},
      {"data", "data/backup", "Effacer=0", "the target folder lies inside the source folder",
       "data/backup", "data/file"},
      {"src", "src", "Deplacer=1", "the source and the target are the same folder", "", "src/file"},
      {"src", "home", "Effacer=1", "the target folder holds the program's settings or logs",
       "home/file", "src/file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.target);
    std::vector<std::string> files;
    std::istringstream names(c.files);
    for (std::string name; names >> name;) files.push_back(name);
    for (const std::string& file : files) {
      for (size_t cut = file.find('/'); cut != std::string::npos; cut = file.find('/', cut + 1)) {
        if (!dir_.Exists(file.substr(0, cut))) dir_.MakeFolder(file.substr(0, cut));
      }
      dir_.Write(file, file);
    }
    Pairs({{dir_.Path(c.source), dir_.Path(c.target)}}, "[Mirror_1]\n" + c.settings + "\n");
    const std::string pairs_file = dir_.Read("home/Vorn.w");
    const Outcome run = Once();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Vorn: Folder pair refused: " + c.why + "; " + dir_.Path(c.source) +
                           " -> " + dir_.Path(c.target)),
              std::string::npos)
        << run.err;
    for (const std::string& file : files) EXPECT_EQ(dir_.Read(file), file);
    if (!c.absent.empty()) {
      EXPECT_FALSE(dir_.Exists(c.absent));
    }
    EXPECT_EQ(dir_.Read("home/Vorn.w"), pairs_file);
    EXPECT_EQ(dir_.Read("home/Vorn.ini"), "[Mirror_1]\n" + c.settings + "\n");
  }
}

// The root is never written to: the target is the root seen read-only
// through a bind mount in a mount namespace of this process's own, which
// the child inherits; removal stays off so that even a pass that got this
// far would only try to copy one file there.
TEST_F(SafetyTest, ATargetThatIsTheRootIsRefused) {
  if (!kPassRefusesPairs) GTEST_SKIP() << "the pass still mirrors refused pairs";
  if (::geteuid() != 0) GTEST_SKIP() << "a private mount namespace needs root";
  if (::unshare(CLONE_NEWNS) != 0 ||
      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    GTEST_SKIP() << "no private mount namespace: " << std::strerror(errno);
  }
  dir_.MakeFolder("root");
  const std::string root = dir_.Path("root");
  ASSERT_EQ(::mount("/", root.c_str(), nullptr, MS_BIND, nullptr), 0);
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{root};
  ASSERT_EQ(::mount(nullptr, root.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);

  dir_.Write("src/vorn-root-probe", "x");
  Pairs({{dir_.Path("src"), root}}, "[Mirror_1]\nEffacer=0\n");
  const Outcome run = Once();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Vorn: Folder pair refused: the target folder is the root of the system"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(::access("/vorn-root-probe", F_OK), -1);
}

}  // namespace
}  // namespace vorn
