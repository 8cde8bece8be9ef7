// The built vorn in each of its modes on real trees, with a hand-written
// Vorn.ini and Vorn.w: what --once prints and how it ends, its --json and
// dry-run reports, and --headless with its reloads.

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <regex>

#include "e2e/e2e_fixture.h"
#include "platform/posix_file_system.h"

namespace vorn {
namespace {

using OnceTest = E2eTest;

// The modes themselves are the engine's tests; this is what the program
// prints and logs around them.
TEST_F(OnceTest, PrintsTheSummaryAndLogsInTheConfiguredLanguage) {
  dir_.Make({"src/sub/", "src/sub/b.txt=beta", "dst/obsolete.txt=old"});
  const std::string settings = "[Logs]\r\nLogs=1\r\nFichiersLogs=1\r\n[Mirror_1]\r\nEffacer=1\r\n";
  Pair(settings);
  const Outcome run = Once();
  EXPECT_TRUE(run.status == 0 && run.err.empty()) << run.err;
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
  const struct {
    std::string pairs_file;  // none when empty
    std::vector<std::string> args;
    Outcome outcome;
  } cases[] = {
      {"", {"--once"}, {0, "", "Vorn: No folder pair to mirror\n"}},
      {"\"43003A005C0\",\"\"\r\n", {"--once"},
       {2, "", "Vorn: Invalid hexa string in the parameters file; " + dir_.Path("home/Vorn.w") +
                   "\n"}},
      {PairLines({{"src", "missing"}}), {"--once", "nightly", "-u"}, {2, "", ""}},
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

// A verbose unattended pass prints its summary even when it changed nothing.
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

// The built-in table is the signature tests' own.
TEST_F(OnceTest, MacintoshNamesTakeTheExtensionOfTheSignaturesFile) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  dir_.Write("src/Budget", "b");
  dir_.SetAttribute("src/Budget", "user.DosStream.AFP_AfpInfo:$DATA",
                    std::string(16, '\0') + "XDOCXPR3" + std::string(36, '\0'));
  Pair("[Mirror_1]\nRenommer=1\n");
  dir_.Write("home/Signatures.txt", "\"XDOCXPR3\",\"xpd\",\"Quark XPress\"\r\n");
  ASSERT_EQ(Once().status, 0);
  EXPECT_EQ(dir_.Names("dst"), std::vector<std::string>{"Budget.xpd"});
}

using ReportingTest = E2eTest;

TEST_F(ReportingTest, ADryRunForetellsThePassLineForLineAndChangesNothing) {
  dir_.Make({"src/sub/", "src/sub/inner/", "src/sub/inner/deep=d", "src/new=n", "src/same=s",
             "src/changed=new text", "dst/changed=old", "dst/obsolete=o", "dst/gone/",
             "dst/gone/x=x", "dst/gone/deeper/", "dst/gone/deeper/y=y", "msrc/", "msrc/m=m",
             "msrc/d/", "msrc/d/n=n", "mdst/"});
  dir_.Write("dst/same", "s", 0600);  // the same file, other permissions
  for (const char* old : {"dst/changed", "src/same", "dst/same"}) dir_.SetTime(old, 1600000000, 0);
  Pairs({{"src", "dst"}, {"msrc", "mdst"}},
        "[Mirror_1]\nEffacer=1\n[Mirror_2]\nDeplacer=1\n[Configuration]\nCopierAttributs=1\n"
        "[Logs]\nLogs=1\nFichiersLogs=1\n");
  // Any write, of content, permissions or attributes, moves a change time.
  const auto snapshot = [this] {
    const std::string list = "cd '" + dir_.path() + "' && find home src dst msrc mdst -printf " +
                             "'%p %M %T@ %C@ %s\\n' | sort > snapshot";
    EXPECT_EQ(std::system(list.c_str()), 0);
    return dir_.Read("snapshot");
  };
  const std::string before = snapshot();

  const Outcome text = Vorn({"--once", "--dry-run"});
  const Outcome dry = Vorn({"--once", "--dry-run", "--json"});
  EXPECT_EQ(snapshot(), before);  // no log, no SourceVolume, no tree change
  const Outcome real = Vorn({"--once", "--json"});
  ASSERT_EQ(real.status, 0) << real.err;
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.err, "Vorn: Dry run: nothing was changed\n");
  const std::regex run_facts(",\"dry_run\":.*");
  EXPECT_EQ(std::regex_replace(dry.out, run_facts, ""),
            std::regex_replace(real.out, run_facts, ""));
  EXPECT_TRUE(Has(dry.out, "\"dry_run\":true,"));
  // One text line an event, and the two summary lines.
  EXPECT_EQ(Count(text.out, "\n"), Count(real.out, "\n") + 1) << text.out;
  for (const std::string& event :
       {"\"created\",\"entry\":\"folder\",\"pair\":1,\"path\":\"" + dir_.Path("dst/sub/inner"),
        "\"modified\",\"entry\":\"file\",\"pair\":1,\"path\":\"" + dir_.Path("dst/changed"),
        "\"attributes\",\"entry\":\"file\",\"pair\":1,\"path\":\"" + dir_.Path("dst/same"),
        "\"removed\",\"entry\":\"folder\",\"pair\":1,\"path\":\"" + dir_.Path("dst/gone/deeper"),
        "\"removed\",\"entry\":\"file\",\"pair\":2,\"path\":\"" + dir_.Path("msrc/d/n"),
        "\"removed\",\"entry\":\"folder\",\"pair\":2,\"path\":\"" + dir_.Path("msrc/d")}) {
    EXPECT_TRUE(Has(real.out, "{\"type\":" + event + "\"}")) << event;
  }
  EXPECT_TRUE(Has(real.out, "\"files_created\":4,\"files_modified\":1,\"files_removed\":5"));
  EXPECT_NE(LogText(), "<no log>");
  EXPECT_TRUE(dir_.Exists("dst/gone"));  // emptied, and gone on the next pass
}

// How a name of any bytes and an error read in JSON is the base and report
// tests' concern.
TEST_F(ReportingTest, EntriesThatCannotBeMirroredAreReportedAndEndWithStatusFour) {
  dir_.Make({"src/fine=f", "src/odd\xffname=o"});
  dir_.Write("src/secret", "s", 0);
  Pair();
  if (!GiveToNobody()) GTEST_SKIP() << "needs root and setpriv to read as another user";
  const std::string failure =
      dir_.Path("dst/secret") + ": open " + dir_.Path("src/secret") + ": Permission denied";
  for (const bool dry_run : {true, false}) {
    SCOPED_TRACE(dry_run ? "dry run" : "pass");
    const Outcome run = Vorn(dry_run ? std::vector<std::string>{"--once", "--dry-run", "--json"}
                                     : std::vector<std::string>{"--once", "--json"});
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(std::regex_match(run.out, std::regex("(\\{\"type\":\"[^\\n]*\\}\\n)+"))) << run.out;
    EXPECT_TRUE(Has(run.out, "{\"type\":\"failed\",\"entry\":\"file\",\"pair\":1,\"path\":\"" +
                                 dir_.Path("dst/secret") + "\",\"error\":\"open "));
    EXPECT_TRUE(Has(run.out, "\\ufffdname\",\"path_hex\":\""));
    EXPECT_TRUE(Has(run.out, "\"files_created\":2,\"files_modified\":0,\"files_removed\":0,"
                             "\"files_locked\":0,\"files_failed\":1,"));
    EXPECT_TRUE(Has(run.err, "Vorn: " + failure + "\n")) << run.err;
  }
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"fine", "odd\xffname"}));
}

class HeadlessTest : public E2eTest {
 protected:
  HeadlessTest() { Pair("[Configuration]\nTemporisation=1\n[Mirror_1]\nEffacer=1\n"); }
  // Puts a file in place whole, so that no pass sees it half made.
  void Land(const std::string& at, const std::string& attribute = "") {
    dir_.Write("landing", "");
    if (!attribute.empty()) dir_.SetAttribute("landing", attribute, "");
    ASSERT_EQ(std::rename(dir_.Path("landing").c_str(), dir_.Path(at).c_str()), 0);
  }
};

// Unattended passes print only when they change or meet something; the
// verbose ones always, as the one-instance test sees.
TEST_F(HeadlessTest, MirrorsOnTheScheduleUntilSigtermPrintingPassesThatChange) {
  Land("src/first");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/first"); }));
  Land("src/later");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/later"); }));
  // Debris of a copy is cleared without a count: once it is gone, a pass
  // that changed nothing has run.
  if (dir_.SupportsUserAttributes()) {
    Land("dst/.vorn-tmp-1-00000000000000ab", platform::kTemporaryMarkAttribute);
    ASSERT_TRUE(WaitFor([&] { return !dir_.Exists("dst/.vorn-tmp-1-00000000000000ab"); }));
  }
  vorn.Signal(SIGTERM);
  EXPECT_TRUE(vorn.Wait() == 0 && vorn.Err().empty()) << vorn.Err();
  EXPECT_EQ(std::pair(Count(vorn.Out(), "Files: 1 created"), Count(vorn.Out(), "Files: ")),
            std::pair(size_t{2}, size_t{2}))
      << vorn.Out();
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

// A change in a source brings the timed pass ten minutes forward; the
// sources a moving pass deletes bring none.
TEST_F(HeadlessTest, AChangedSourceStartsThePassEarlyButThePassesOwnMovesDoNot) {
  Pair("[Configuration]\nTemporisation=600\n[Mirror_1]\nDeplacer=1\n");
  VornProcess vorn(VORN_BINARY, Args({"--headless", "--verbose"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return Has(vorn.Out(), "Files: "); })) << vorn.Err();
  dir_.MakeFolder("src/later");
  dir_.Write("src/later/f", "x");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/later/f") && !dir_.Exists("src/later/f"); }))
      << vorn.Err();
  ::sleep(3);  // the quiet time after the deletions, and then some
  vorn.Signal(SIGTERM);
  EXPECT_EQ(vorn.Wait(), 0) << vorn.Err();
  EXPECT_EQ(Count(vorn.Out(), "Files: "), 2u) << vorn.Out();
}

TEST_F(HeadlessTest, StopAfterTheFirstPassEndsByItself) {
  dir_.Write("home/Vorn.ini", "[Configuration]\nArretAutomatique=1\nAutomatique=1\n");
  const Outcome run = Vorn({"--headless"});
  EXPECT_TRUE(run.status == 0 && Has(run.err, "Vorn: Type key 'Esc' to display the main window"));
}

// A running `vorn --headless` reads Vorn.ini and Vorn.w again: on SIGHUP,
// and before a timed pass when either file changed.
class ReloadTest : public E2eTest {
 protected:
  ReloadTest() {
    for (const char* folder : {"src2", "dst2", "src3", "dst3"}) dir_.MakeFolder(folder);
  }
  // Replaces a file of the application folder at once, as the pair and
  // config commands do: the running instance never reads half of it.
  void Replace(const std::string& name, const std::string& text) {
    dir_.Write("home/new", text);
    ASSERT_EQ(std::rename(dir_.Path("home/new").c_str(), dir_.Path("home/" + name).c_str()), 0);
  }
};

TEST_F(ReloadTest, SighupAndChangedFilesBringNewPairsInWhileADamagedListIsKeptOut) {
  dir_.Make({"src/a=1", "src2/b=2", "src3/c=3"});
  // Pair 1 removes obsolete entries, so its first pass writes its source
  // volume into Vorn.ini: a change of the file that changes nothing in use.
  Pair("[Configuration]\nTemporisation=3600\n[Mirror_1]\nEffacer=1\n");
  VornProcess vorn(VORN_BINARY, Args({"--headless"}), dir_.path());
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst/a"); })) << vorn.Err();
  ASSERT_TRUE(WaitFor([&] { return Has(dir_.Read("home/Vorn.ini"), "SourceVolume="); }));

  // The next timed pass is an hour away: only the signal can bring pair 2
  // and the shorter interval in.
  Replace("Vorn.ini", std::regex_replace(dir_.Read("home/Vorn.ini"),
                                         std::regex("Temporisation=3600"), "Temporisation=1"));
  Replace("Vorn.w", PairLines({{"src", "dst"}, {"src2", "dst2"}}));
  vorn.Signal(SIGHUP);
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst2/b"); })) << vorn.Err();

  // Without a signal: pair 3, which removes too and writes its volume on
  // its first pass; a later pass shows the process went past that write.
  Replace("Vorn.ini", dir_.Read("home/Vorn.ini") + "[Mirror_3]\nEffacer=1\n");
  Replace("Vorn.w", PairLines({{"src", "dst"}, {"src2", "dst2"}, {"src3", "dst3"}}));
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/c"); })) << vorn.Err();
  dir_.Write("src3/d", "4");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/d"); })) << vorn.Err();

  // A damaged list is not taken, and the pairs in use go on being mirrored.
  Replace("Vorn.w", PairLines({{"src", "dst"}, {"src2", "dst2"}}) + "\"not hex\",\"\"\r\n");
  ASSERT_TRUE(WaitFor([&] { return Has(vorn.Err(), "kept"); })) << vorn.Err();
  dir_.Write("src3/e", "5");
  ASSERT_TRUE(WaitFor([&] { return dir_.Exists("dst3/e"); })) << vorn.Err();

  vorn.Signal(SIGTERM);
  EXPECT_EQ(vorn.Wait(), 0) << vorn.Err();
  const std::string err = vorn.Err();
  const std::string heading = "Vorn: Vorn.ini and Vorn.w read again";
  EXPECT_TRUE(Has(err, heading + " (SIGHUP): 2 folder pair(s)\n" + heading +
                           " (changed on disk): 3 folder pair(s)\n" + heading +
                           " (changed on disk): "));
  EXPECT_TRUE(Has(err, "; the settings and pairs in use are kept\n"));
  EXPECT_EQ(Count(err, "\n"), 3u) << err;  // one line a reload
}

}  // namespace
}  // namespace vorn
