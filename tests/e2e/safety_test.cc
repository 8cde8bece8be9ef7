// The built vorn on trees where a careless mirror would destroy what it
// should keep: unreadable and unmounted sources, nested pairs, links swapped
// in mid-pass, names that look like Vorn's own, names that look like markup.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(SafetyTest, NamesLikeVornsTemporariesAreTheUsersOwnFiles) {
  // The name temporaries once had, and one of today's pattern without the mark.
  const std::string old_pattern = ".vorn-tmp-0123abcd";
  const std::string new_pattern = ".vorn-tmp-4242-0123456789abcdef";
  dir_.Write("src/" + old_pattern, "source 1");
  dir_.Write("src/" + new_pattern, "source 2");
  dir_.Write("src/landing", "a copy lands in the folder of the target's own");
  dir_.Write("dst/.vorn-tmp-89abcdef", "target");
  dir_.Write("home/" + old_pattern, "application folder 1");
  dir_.Write("home/" + new_pattern, "application folder 2");
  Pairs({{dir_.Path("src"), dir_.Path("dst")}}, "[Mirror_1]\nEffacer=0\n");

  auto run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("3 files in 1 source folder"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Files: 3 created, 0 modified, 0 removed"), std::string::npos) << run.out;
  EXPECT_EQ(dir_.Read("dst/" + old_pattern), "source 1");
  EXPECT_EQ(dir_.Read("dst/" + new_pattern), "source 2");
  EXPECT_EQ(dir_.Read("dst/.vorn-tmp-89abcdef"), "target");
  EXPECT_EQ(dir_.Read("home/" + old_pattern), "application folder 1");
  EXPECT_EQ(dir_.Read("home/" + new_pattern), "application folder 2");

  // Removal takes the target's one as any obsolete file of the user's, and counts it.
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Files: 0 created, 0 modified, 1 removed"), std::string::npos) << run.out;
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{old_pattern, new_pattern, "landing"}));
  EXPECT_EQ(dir_.Read("home/" + old_pattern), "application folder 1");
}

TEST_F(SafetyTest, NamesThatLookLikeMarkupAreEscapedInTheLog) {
  const std::pair<std::string, std::string> names[] = {
      {"<!-- hide", "&lt;!-- hide"},
      {"<script>alert(1)</script>.txt", "&lt;script&gt;alert(1)&lt;/script&gt;.txt"},
      {"a&b \"c\".txt", "a&amp;b &quot;c&quot;.txt"},
  };
  // A name holds no slash: the closing tag comes from a folder and a file in it.
  dir_.MakeFolder("src/<script>alert(1)<");
  for (const auto& [name, escaped] : names) dir_.Write("src/" + name, name);
  Pairs({{dir_.Path("src"), dir_.Path("dst")}}, "[Logs]\nLogs=1\nFichiersLogs=1\n");

  const auto run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string log = LogText();
  for (const auto& [name, escaped] : names) {
    EXPECT_EQ(dir_.Read("dst/" + name), name);
    EXPECT_NE(
        log.find("<small>Creation - " + dir_.Path("dst") + "/" + escaped + "</small><br>\r\n"),
        std::string::npos)
        << log;
  }
  EXPECT_EQ(log.find("<!--"), std::string::npos) << log;
  EXPECT_EQ(log.find("<script"), std::string::npos) << log;
  EXPECT_EQ(log.substr(0, log.find("<title>")), "<html>\r\n<head><meta charset=\"utf-8\">\r\n");
}

}  // namespace
}  // namespace vorn
