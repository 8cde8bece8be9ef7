// What the built vorn reports of a pass without a window: --json, exit
// status 4, quiet unattended passes, and a dry run that foretells the real
// pass line for line and changes nothing.

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "e2e/e2e_fixture.h"
#include "platform/posix_file_system.h"

namespace vorn {
namespace {

using ReportingTest = E2eTest;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Every entry below the folders with its type, mode, time and content.
std::string Snapshot(const TestFolder& dir, const std::vector<std::string>& folders) {
  namespace fs = std::filesystem;
  std::ostringstream all;
  for (const std::string& folder : folders) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path(folder))) {
      struct stat st {};
      ::lstat(entry.path().c_str(), &st);
      std::ostringstream line;
      line << entry.path().string() << ' ' << st.st_mode << ' ' << st.st_mtim.tv_sec << '.'
           << st.st_mtim.tv_nsec;
      if (S_ISREG(st.st_mode)) line << ' ' << dir.Read(entry.path().string().substr(dir.path().size() + 1));
      entries.push_back(line.str());
    }
    std::sort(entries.begin(), entries.end());
    for (const std::string& entry : entries) all << entry << '\n';
  }
  return all.str();
}

std::string WithoutRunFacts(const std::string& line) {
  return line.substr(0, line.find(",\"dry_run\":"));
}

TEST_F(ReportingTest, ADryRunForetellsThePassLineForLineAndChangesNothing) {
  for (const char* folder :
       {"src/sub", "src/sub/inner", "dst/gone", "dst/gone/deeper", "msrc", "msrc/d", "mdst"}) {
    dir_.MakeFolder(folder);
  }
  dir_.Write("src/new", "n");
  dir_.Write("src/changed", "new text");
  dir_.Write("dst/changed", "old");
  dir_.SetTime("dst/changed", 1600000000, 0);
  dir_.Write("src/same", "s");
  dir_.Write("dst/same", "s", 0600);  // the same file, other permissions
  dir_.SetTime("src/same", 1600000000, 0);
  dir_.SetTime("dst/same", 1600000000, 0);
  dir_.Write("src/sub/inner/deep", "d");
  dir_.Write("dst/obsolete", "o");
  dir_.Write("dst/gone/x", "x");
  dir_.Write("dst/gone/deeper/y", "y");
  dir_.Write("msrc/m", "m");
  dir_.Write("msrc/d/n", "n");
  Pairs({{dir_.Path("src"), dir_.Path("dst")}, {dir_.Path("msrc"), dir_.Path("mdst")}},
        "[Mirror_1]\nEffacer=1\n[Mirror_2]\nDeplacer=1\n[Configuration]\nCopierAttributs=1\n"
        "[Logs]\nLogs=1\nFichiersLogs=1\n");
  const std::vector<std::string> folders = {"home", "src", "dst", "msrc", "mdst"};
  const std::string before = Snapshot(dir_, folders);

  const Outcome text = Vorn({"--once", "--dry-run"});
  const Outcome dry = Vorn({"--once", "--dry-run", "--json"});
  EXPECT_EQ(Snapshot(dir_, folders), before);  // no log, no SourceVolume, no tree change
  const Outcome real = Vorn({"--once", "--json"});
  ASSERT_EQ(real.status, 0) << real.err;
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.err, "Vorn: Dry run: nothing was changed\n");

  const std::vector<std::string> foretold = Lines(dry.out);
  const std::vector<std::string> done = Lines(real.out);
  ASSERT_EQ(foretold.size(), done.size()) << dry.out << real.out;
  for (size_t i = 0; i < done.size(); ++i) {
    EXPECT_EQ(WithoutRunFacts(foretold[i]), WithoutRunFacts(done[i]));
  }
  EXPECT_TRUE(Has(foretold.back(), "\"dry_run\":true"));
  // One text line an event, and the two summary lines.
  EXPECT_EQ(Lines(text.out).size(), done.size() + 1) << text.out;
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

TEST_F(ReportingTest, EntriesThatCannotBeMirroredAreReportedAndEndWithStatusFour) {
  const std::string odd = "odd\xff" "name";
  dir_.Write("src/fine", "f");
  dir_.Write("src/secret", "s", 0);
  dir_.Write("src/" + odd, "o");
  Pair();
  if (!GiveToNobody()) GTEST_SKIP() << "needs root and setpriv to read as another user";
  std::string odd_hex;
  for (const char c : dir_.Path("dst/" + odd)) {
    static constexpr char kHex[] = "0123456789abcdef";
    odd_hex += kHex[static_cast<unsigned char>(c) >> 4];
    odd_hex += kHex[static_cast<unsigned char>(c) & 15];
  }
  const std::string failure = dir_.Path("dst/secret") + ": open " + dir_.Path("src/secret") +
                              ": Permission denied";
  for (const bool dry_run : {true, false}) {
    SCOPED_TRACE(dry_run ? "dry run" : "pass");
    const Outcome run = Vorn(dry_run ? std::vector<std::string>{"--once", "--dry-run", "--json"}
                                     : std::vector<std::string>{"--once", "--json"});
    EXPECT_EQ(run.status, 4);
    for (const std::string& line : Lines(run.out)) {
      EXPECT_TRUE(line.starts_with("{\"type\":\"") && line.ends_with("}")) << line;
    }
    EXPECT_TRUE(Has(run.out, "{\"type\":\"failed\",\"entry\":\"file\",\"pair\":1,\"path\":\"" +
                                 dir_.Path("dst/secret") + "\",\"error\":\"open " +
                                 dir_.Path("src/secret") + ": Permission denied\"}"))
        << run.out;
    EXPECT_TRUE(Has(run.out, "\"path\":\"" + dir_.Path("dst/odd") + "\\ufffdname\",\"path_hex\":\"" +
                                 odd_hex + "\"}"));
    EXPECT_TRUE(Has(run.out, "\"files_created\":2,\"files_modified\":0,\"files_removed\":0,"
                             "\"files_locked\":0,\"files_failed\":1,"));
    EXPECT_TRUE(Has(run.err, "Vorn: " + failure + "\n")) << run.err;
  }
  EXPECT_EQ(dir_.Names("dst"), (std::vector<std::string>{"fine", odd}));
}

TEST_F(ReportingTest, UnattendedPassesPrintOnlyWhenTheyChangeOrMeetSomething) {
  if (!dir_.SupportsUserAttributes()) GTEST_SKIP() << "no user extended attributes here";
  Pair("[Mirror_1]\nEffacer=1\n[Configuration]\nTemporisation=1\n");
  dir_.Write("src/a", "a");
  for (const bool verbose : {false, true}) {
    SCOPED_TRACE(verbose ? "--verbose" : "quiet");
    ::unlink(dir_.Path("dst/a").c_str());
    const std::string output = verbose ? "verbose" : "quiet";  // no earlier output to misread
    dir_.MakeFolder(output);
    VornProcess vorn(VORN_BINARY,
                     Args(verbose ? std::vector<std::string>{"--headless", "--verbose"}
                                  : std::vector<std::string>{"--headless"}),
                     dir_.Path(output));
    ASSERT_TRUE(WaitFor([&] { return Has(vorn.Out(), "Files: 1 created"); }));
    // Debris of a copy is cleared without a count: once it is gone, a pass
    // that changed nothing has run.
    const std::string debris = "dst/.vorn-tmp-1-00000000000000ab";
    dir_.Write(debris, "");
    dir_.SetAttribute(debris, platform::kTemporaryMarkAttribute, "");
    ASSERT_TRUE(WaitFor([&] { return !dir_.Exists(debris); }));
    vorn.Signal(SIGTERM);
    EXPECT_EQ(vorn.Wait(), 0);
    const std::string out = vorn.Out();
    size_t summaries = 0;
    for (size_t at = out.find("Files: "); at != std::string::npos; at = out.find("Files: ", at + 1)) {
      ++summaries;
    }
    if (verbose) {
      EXPECT_GE(summaries, 2u) << out;
    } else {
      EXPECT_EQ(summaries, 1u) << out;
    }
  }
}

}  // namespace
}  // namespace vorn
