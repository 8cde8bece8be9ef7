// Runs the built `vorn --once` on real trees, with a hand-written Vorn.ini
// and Vorn.w, and checks the trees, the output and the log.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include <gtest/gtest.h>

#include "settings/hex_path.h"
#include "support/test_folder.h"
#include "support/vorn_process.h"

namespace vorn {
namespace {

using testing::TestFolder;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class OnceTest : public ::testing::Test {
 protected:
  OnceTest() {
    dir_.MakeFolder("home");
    dir_.MakeFolder("src");
    dir_.MakeFolder("dst");
  }

  // Runs vorn with the arguments to its end, in the C locale, optionally
  // under a low open-file limit.
  Outcome Vorn(std::vector<std::string> args, rlim_t open_files = 0) {
    args.insert(args.begin(), {"--home", dir_.Path("home")});
    testing::VornProcess process(VORN_BINARY, args, dir_.path(), {}, open_files);
    Outcome outcome;
    outcome.status = process.Wait();
    outcome.out = process.Out();
    outcome.err = process.Err();
    return outcome;
  }

  void Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text;
    for (const auto& [source, target] : pairs) {
      text += "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
    }
    dir_.Write("home/Vorn.w", text);
  }

  std::string LogText() {
    for (const std::string& name : dir_.Names("home")) {
      if (name.rfind("Log Vorn ", 0) == 0) return dir_.Read("home/" + name);
    }
    return "<no log>";
  }

  TestFolder dir_;
};

TEST_F(OnceTest, MirrorsEveryModeAndPrintsTheSummary) {
  dir_.MakeFolder("move-src");
  dir_.MakeFolder("move-dst");
  dir_.Write("src/a.txt", "alpha");
  dir_.MakeFolder("src/sub");
  dir_.Write("src/sub/b.txt", "beta");
  dir_.Write("dst/obsolete.txt", "old");
  dir_.Write("move-src/m.txt", "moved");
  Pairs({{dir_.Path("src"), dir_.Path("dst")}, {dir_.Path("move-src"), dir_.Path("move-dst")}});
  dir_.Write("home/Vorn.ini",
             "[Logs]\r\nLogs=1\r\nFichiersLogs=1\r\n"
             "[Mirror_1]\r\nEffacer=1\r\n"
             "[Mirror_2]\r\nDeplacer=1\r\n");
  const Outcome run = Vorn({"--once"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"a.txt", "sub"}));
  EXPECT_EQ(dir_.Read("dst/sub/b.txt"), "beta");
  EXPECT_TRUE(dir_.Names("move-src").empty());
  EXPECT_EQ(dir_.Read("move-dst/m.txt"), "moved");
  const std::regex summary(
      "[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2}; 3 files in 2 "
      "source folders \\(0 invalid source folder; 0 invalid target folder\\)\n"
      "Files: 3 created, 0 modified, 2 removed, 0 locked; Folders: 1 created, 0 removed; "
      "elapsed time [0-9]+ s\n");
  EXPECT_TRUE(std::regex_match(run.out, summary)) << run.out;

  const std::string log = LogText();
  EXPECT_NE(log.find("<small>Delete - " + dir_.Path("dst/obsolete.txt") + "</small><br>\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("<small>Creation - " + dir_.Path("move-dst/m.txt") + "</small><br>\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("<b>Vorn 2.2i</b>&nbsp;"), std::string::npos);

  // A second run finds nothing to do.
  const Outcome again = Vorn({"--once"});
  EXPECT_NE(again.out.find("Files: 0 created, 0 modified, 0 removed, 0 locked"), std::string::npos);
}

TEST_F(OnceTest, SpeaksTheConfiguredLanguage) {
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  dir_.Write("home/Vorn.ini", "[Configuration]\nLangue=1\n");
  const Outcome run = Vorn({"--once"});
  EXPECT_NE(run.out.find(" à "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Fichiers: 0 créé, 0 modifié, 0 supprimé, 0 verrouillé; Dossiers: 0 créé"),
            std::string::npos)
      << run.out;
}

TEST_F(OnceTest, NoPairMeansNothingToMirror) {
  const Outcome run = Vorn({"--once"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Vorn: No folder pair to mirror\n");
}

TEST_F(OnceTest, ADamagedPairsFileEndsStartUp) {
  dir_.Write("home/Vorn.w", "\"43003A005C0\",\"\"\r\n");
  const Outcome run = Vorn({"--once"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "Vorn: Invalid hexa string in the parameters file; " + dir_.Path("home/Vorn.w") + "\n");
}

TEST_F(OnceTest, MinusUEndsSilentlyWhenAFolderIsMissing) {
  Pairs({{dir_.Path("src"), dir_.Path("missing")}});
  const Outcome unattended = Vorn({"--once", "nightly", "-u"});
  EXPECT_EQ(unattended.status, 2);
  EXPECT_EQ(unattended.out + unattended.err, "");
  const Outcome attended = Vorn({"--once"});
  EXPECT_EQ(attended.status, 0);
  EXPECT_NE(attended.out.find("(0 invalid source folder; 1 invalid target folder)"),
            std::string::npos);
}

TEST_F(OnceTest, OneInstancePerApplicationFolderEvenAReadOnlyOne) {
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  // No lock file could be made there; root writes through modes, not through
  // a read-only mount (in a mount namespace of this test's own).
  const std::string home = dir_.Path("home");
  if (::geteuid() == 0) {
    ASSERT_EQ(::unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    ASSERT_EQ(::mount(home.c_str(), home.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, home.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
              0);
  } else {
    ::chmod(home.c_str(), 0555);
  }
  dir_.MakeFolder("first");
  testing::VornProcess first(VORN_BINARY, {"--headless", "--home", home}, dir_.Path("first"));
  ASSERT_TRUE(testing::WaitFor([&] { return first.Out().find("Files:") != std::string::npos; }));
  const Outcome second = Vorn({"--once"});
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0);
  ::chmod(home.c_str(), 0755);
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.err, "Vorn: Program already running\n");
}

TEST_F(OnceTest, ATreeDeeperThanTheOpenFileLimitAllows) {
  std::string relative;
  for (int i = 0; i < 120; ++i) {
    relative += "/level";
    dir_.MakeFolder("src" + relative);
  }
  dir_.Write("src" + relative + "/bottom.txt", "deep");
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  // Two folders per level would need 240 descriptors.
  const Outcome run = Vorn({"--once"}, 64);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir_.Read("dst" + relative + "/bottom.txt"), "deep");
  EXPECT_NE(run.out.find("Folders: 120 created"), std::string::npos) << run.out;
}

TEST_F(OnceTest, MacintoshNamesTakeTheExtensionOfTheSignaturesTable) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  dir_.Write("src/Budget", "b");
  dir_.SetAttribute("src/Budget", "user.DosStream.AFP_AfpInfo:$DATA",
                    std::string(16, '\0') + "XDOCXPR3" + std::string(36, '\0'));
  Pairs({{dir_.Path("src"), dir_.Path("dst")}});
  dir_.Write("home/Vorn.ini", "[Mirror_1]\nRenommer=1\n");
  ASSERT_EQ(Vorn({"--once"}).status, 0);  // the table built in
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"Budget.qxd"});
  dir_.Write("home/Signatures.txt", "\"XDOCXPR3\",\"xpd\",\"Quark XPress\"\r\n");
  ASSERT_EQ(Vorn({"--once"}).status, 0);
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"Budget.qxd", "Budget.xpd"}));
}

TEST_F(OnceTest, BadOptionsExitWithOne) {
  EXPECT_EQ(Vorn({"--once", "--headless"}).status, 1);
  const Outcome version = Vorn({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Vorn 2.2i\n");
}

}  // namespace
}  // namespace vorn
