// Runs the built `vorn --once` on real trees, with a hand-written Vorn.ini
// and Vorn.w, and checks the trees, the output and the log.

#include <signal.h>
#include <sys/stat.h>

#include <regex>

#include "e2e/e2e_fixture.h"

namespace vorn {
namespace {

using OnceTest = E2eTest;

// The modes themselves are the engine's tests; this is what the program
// prints and logs around them.
TEST_F(OnceTest, PrintsTheSummaryAndLogsInTheConfiguredLanguage) {
  dir_.MakeFolder("src/sub");
  dir_.Write("src/sub/b.txt", "beta");
  dir_.Write("dst/obsolete.txt", "old");
  const std::string settings = "[Logs]\r\nLogs=1\r\nFichiersLogs=1\r\n[Mirror_1]\r\nEffacer=1\r\n";
  Pair(settings);
  const Outcome run = Once();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dir_.Read("dst/sub/b.txt"), "beta");
  const std::regex summary(
      "[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2}; 1 file in 1 "
      "source folder \\(0 invalid source folder; 0 invalid target folder\\)\n"
      "Files: 1 created, 0 modified, 1 removed, 0 locked; Folders: 1 created, 0 removed; "
      "elapsed time [0-9]+ s\n");
  EXPECT_TRUE(std::regex_match(run.out, summary)) << run.out;
  const std::string log = LogText();
  EXPECT_TRUE(Has(log, "<small>Delete - " + dir_.Path("dst/obsolete.txt") + "</small><br>\r\n"));
  EXPECT_TRUE(Has(log, "<b>Vorn 2.2i</b>&nbsp;"));

  dir_.Write("home/Vorn.ini", settings + "[Configuration]\r\nLangue=1\r\n");
  const Outcome again = Once();
  EXPECT_TRUE(
      Has(again.out, "Fichiers: 0 créé, 0 modifié, 0 supprimé, 0 verrouillé; Dossiers: 0 créé"));
}

// "-U" on the command line ends silently when a folder is missing.
TEST_F(OnceTest, StartUpFailuresAndOptionsEndWithTheirStatus) {
  const std::string missing_target = "\"" + EncodeHexPath(dir_.Path("src")) + "\",\"" +
                                     EncodeHexPath(dir_.Path("missing")) + "\"\r\n";
  const struct {
    std::string pairs_file;  // none when empty
    std::vector<std::string> args;
    Outcome outcome;
  } cases[] = {
      {"", {"--once"}, {0, "", "Vorn: No folder pair to mirror\n"}},
      {"\"43003A005C0\",\"\"\r\n", {"--once"},
       {2, "", "Vorn: Invalid hexa string in the parameters file; " + dir_.Path("home/Vorn.w") +
                   "\n"}},
      {missing_target, {"--once", "nightly", "-u"}, {2, "", ""}},
      {"", {"--once", "--headless"}, {1, "", ""}},
      {"", {"--version"}, {0, "Vorn 2.2i\n", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back() + " " + c.pairs_file);
    ::unlink(dir_.Path("home/Vorn.w").c_str());
    if (!c.pairs_file.empty()) dir_.Write("home/Vorn.w", c.pairs_file);
    Outcome run = Vorn(c.args);
    if (c.outcome.status == 1) run.err.clear();  // a usage error's wording is the parser's own
    EXPECT_EQ(run, c.outcome);
  }
}

TEST_F(OnceTest, OneInstancePerApplicationFolderEvenAReadOnlyOne) {
  Pair();
  // No lock file could be made there; root writes through modes, not through
  // a read-only mount.
  const std::string home = dir_.Path("home");
  if (PrivateMounts()) {
    ASSERT_EQ(::mount(home.c_str(), home.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, home.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
              0);
  } else {
    ASSERT_NE(::geteuid(), 0u);
    ::chmod(home.c_str(), 0555);
  }
  dir_.MakeFolder("first");
  VornProcess first(VORN_BINARY, Args({"--headless"}), dir_.Path("first"));
  ASSERT_TRUE(WaitFor([&] { return first.Out().find("Files:") != std::string::npos; }));
  const Outcome second = Once();
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0);
  ::chmod(home.c_str(), 0755);
  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.err, "Vorn: Program already running\n");
}

TEST_F(OnceTest, MacintoshNamesTakeTheExtensionOfTheSignaturesTable) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  dir_.Write("src/Budget", "b");
  dir_.SetAttribute("src/Budget", "user.DosStream.AFP_AfpInfo:$DATA",
                    std::string(16, '\0') + "XDOCXPR3" + std::string(36, '\0'));
  Pair("[Mirror_1]\nRenommer=1\n");
  ASSERT_EQ(Once().status, 0);  // the table built in
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"Budget.qxd"});
  dir_.Write("home/Signatures.txt", "\"XDOCXPR3\",\"xpd\",\"Quark XPress\"\r\n");
  ASSERT_EQ(Once().status, 0);
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"Budget.qxd", "Budget.xpd"}));
}

}  // namespace
}  // namespace vorn
