// The built vorn in each of its modes on real trees, with a hand-written
// Vorn.ini and Vorn.w: --once, --headless, and the service commands.

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
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
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::regex summary(
      "[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2}; 1 file in 1 "
      "source folder \\(0 invalid source folder; 0 invalid target folder\\)\n"
      "Files: 1 created, 0 modified, 1 removed, 0 locked; Folders: 1 created, 0 removed; "
      "elapsed time [0-9]+ s\n");
  EXPECT_TRUE(std::regex_match(run.out, summary)) << run.out;
  EXPECT_TRUE(
      Has(LogText(), "<small>Delete - " + dir_.Path("dst/obsolete.txt") + "</small><br>\r\n"));

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
  VornProcess first(VORN_BINARY, Args({"--headless", "--verbose"}), dir_.Path("first"));
  ASSERT_TRUE(WaitFor([&] { return first.Out().find("Files:") != std::string::npos; }));
  const Outcome second = Once();
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0);
  ::chmod(home.c_str(), 0755);
  EXPECT_EQ(second, (Outcome{2, "", "Vorn: Program already running\n"}));
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

class HeadlessTest : public E2eTest {
 protected:
  HeadlessTest() { Pair("[Configuration]\nTemporisation=1\n"); }
  // Runs vorn with the service units kept in the test folder.
  Outcome WithUnits(const std::vector<std::string>& args) {
    return Vorn(args, {"VORN_UNIT_DIR=" + dir_.Path("units")});
  }
};

TEST_F(HeadlessTest, MirrorsOnTheScheduleUntilSigterm) {
  dir_.Write("src/first.txt", "1");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/first.txt"); }));
  dir_.Write("src/later.txt", "2");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/later.txt"); }));
  vorn.Signal(SIGTERM);
  EXPECT_EQ(vorn.Wait(), 0) << vorn.Err();
  const std::string out = vorn.Out();
  EXPECT_TRUE(Has(out, "Files: 1 created"));
  EXPECT_GE(std::count(out.begin(), out.end(), '\n'), 4);  // two summaries at least
  EXPECT_EQ(vorn.Err(), "");
}

TEST_F(HeadlessTest, SigintDuringAPassStopsItAndPrintsItsSummary) {
  for (int i = 0; i < 20000; ++i) dir_.Write("src/f" + std::to_string(i), "x");
  VornProcess vorn(VORN_BINARY, Args({"--once"}), dir_.path());
  WaitFor([&] { return dir_.Names("dst").size() > 10; });
  vorn.Signal(SIGINT);
  EXPECT_EQ(vorn.Wait(), 0);
  // The summary of the cut pass tells exactly what reached the target.
  std::smatch created;
  const std::string out = vorn.Out();
  ASSERT_TRUE(std::regex_search(out, created, std::regex("Files: ([0-9]+) created"))) << out;
  EXPECT_EQ(std::stoul(created[1]), dir_.Names("dst").size());
}

TEST_F(HeadlessTest, StopAfterTheFirstPassEndsByItself) {
  dir_.Write("home/Vorn.ini", "[Configuration]\nArretAutomatique=1\nAutomatique=1\n");
  const Outcome run = Vorn({"--headless"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Has(run.err, "Vorn: Type key 'Esc' to display the main window"));
}

TEST_F(HeadlessTest, ServiceCommandsInstallRunAndRemoveTheUnit) {
  // The folder as typed, not as systemd (which starts from "/") must read it.
  dir_.MakeFolder("odd $HOME%h");
  VornProcess install(VORN_BINARY,
                      {"--home", dir_.Path("odd $HOME%h") + "/../odd $HOME%h/", "--install-service",
                       "--start-type", "manual"},
                      dir_.path(), {"VORN_UNIT_DIR=" + dir_.Path("units")});
  EXPECT_EQ(install.Wait(), 0);
  EXPECT_EQ(install.Out(),
            "Vorn Service installed\n(mirroring operations start automatically when the service "
            "starts)\n\nConfiguration and start, see\n'Control panel/Services'\n");
  const std::string unit = dir_.Read("units/vorn.service");
  EXPECT_TRUE(Has(unit, "X-Vorn-StartType=1"));
  EXPECT_TRUE(Has(unit, " --service --home \"" + dir_.Path("odd $$HOME%%h") + "\"\n"));

  EXPECT_EQ(WithUnits({"--install-service"}),
            (Outcome{2, "", "Vorn: Vorn Service already installed\n"}));

  // A run on another application folder leaves that folder's service alone.
  EXPECT_EQ(WithUnits({"--once"}).status, 0);
  EXPECT_EQ(WithUnits({"--remove-service"}).status, 0);
  EXPECT_EQ(WithUnits({"--install-service"}).status, 0);

  // An interactive run finds the service and cannot ask whether to remove it.
  const Outcome headless = WithUnits({"--headless"});
  EXPECT_EQ(headless.status, 2);
  EXPECT_TRUE(Has(headless.err, "Remove it ?"));

  // The service process itself mirrors.
  dir_.Write("src/f", "x");
  VornProcess service(VORN_BINARY, Args({"--service"}), dir_.path(),
                      {"VORN_UNIT_DIR=" + dir_.Path("units")});
  EXPECT_TRUE(WaitFor([&] { return dir_.Exists("dst/f"); }));
  service.Signal(SIGTERM);
  EXPECT_EQ(service.Wait(), 0);

  EXPECT_EQ(WithUnits({"--remove-service"}), (Outcome{0, "Vorn Service: removed\n", ""}));
  EXPECT_EQ(WithUnits({"--remove-service"}),
            (Outcome{2, "", "Vorn: Vorn Service not installed\n"}));
}

}  // namespace
}  // namespace vorn
