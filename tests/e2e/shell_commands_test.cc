// `vorn pair` and `vorn config` run as a user runs them, with the files read
// back afterwards: what a change writes, and that a refusal writes nothing.

#include <sys/stat.h>

#include "config/ini_file.h"
#include "e2e/e2e_fixture.h"
#include "platform/posix_file_system.h"
#include "platform/system.h"
#include "runtime/pair_list.h"
#include "runtime/shell_commands.h"

namespace vorn {
namespace {

class ShellCommandsTest : public E2eTest {
 protected:
  ShellCommandsTest() {
    for (const char* folder : {"other", "bak"}) dir_.MakeFolder(folder);
  }

  // One key of the configuration file as the program reads it.
  std::string Key(const std::string& section, const std::string& key) {
    return IniFile(*fs_, dir_.Path("home/Vorn.ini")).Read(section, key);
  }

  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
};

// One pair src -> dst that removes, and a few global keys.
const std::string kStartIni =
    "[Configuration]\r\nTemporisation=10\r\n; kept as it is\r\n[Mirror_1]\r\nEffacer=1\r\n"
    "SourceVolume=1:2\r\n";

TEST_F(ShellCommandsTest, ChangesAreWrittenAsTheWindowWritesThem) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> pairs;               // after the command
    std::vector<std::tuple<std::string, std::string, std::string>> keys;  // section, key, value
    std::string ini = {};  // the whole file afterwards, when it matters
  };
  const std::vector<Case> cases = {
      {{"pair", "add", dir_.RelativePath("other"), dir_.RelativePath("bak/"), "--every", "5",
        "--newer-only"},
       {{"src", "dst"}, {"other", "bak"}},
       {{"Mirror_2", "NbTemporisations", "5"}, {"Mirror_2", "Nouveau", "1"},
        {"Mirror_2", "Effacer", "0"}, {"Mirror_2", "Enable", "1"},
        {"Mirror_2", "KeepVersions", "30"}}},
      {{"pair", "set", "1", "--keep-versions", "7", "--exclude", "*.tmp", "--exclude", "/b c/"},
       {{"src", "dst"}},
       {{"Mirror_1", "KeepVersions", "7"}, {"Mirror_1", "Exclusions", "*.tmp|/b c/"}}},
      {{"pair", "set", "1", "--move", "--disabled"}, {{"src", "dst"}},
       {{"Mirror_1", "Deplacer", "1"}, {"Mirror_1", "Effacer", "0"}, {"Mirror_1", "Enable", "0"},
        {"Mirror_1", "SourceVolume", "1:2"}}},
      {{"pair", "set", "1", "--source", dir_.Path("other"), "--every", "1", "--exact-ms"},
       {{"other", "dst"}},
       {{"Mirror_1", "SourceVolume", ""}, {"Mirror_1", "Effacer", "1"},
        {"Mirror_1", "NoMilliseconds", "0"}}},
      {{"pair", "remove", "1"}, {}, {{"Mirror_1", "Effacer", "1"}}},
      {{"config", "set", "interval", "30"}, {{"src", "dst"}},
       {{"Configuration", "Temporisation", "30"}},
       "[Configuration]\r\nTemporisation=30\r\n" + kStartIni.substr(kStartIni.find("; kept"))},
      {{"config", "set", "Langue", "english"}, {{"src", "dst"}},
       {{"Configuration", "Langue", "3"}}},
      {{"config", "set", "copy-security-folders", "on"}, {{"src", "dst"}},
       {{"Configuration", "CopierSecurite", "1"}, {"Configuration", "CopierSecuriteDossiers", "1"},
        {"Configuration", "CopierSecuriteTout", "0"}}},
      {{"config", "set", "show-locked", "yes"}, {{"src", "dst"}},
       {{"Configuration", "AfficherLocked", "1"}, {"Configuration", "AfficherFichiers", "0"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args[2]);
    Pair(kStartIni);
    const Outcome run = Vorn(c.args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "No Vorn runs on this folder now")) << run.out;
    EXPECT_EQ(dir_.Read("home/Vorn.w"), PairLines(c.pairs));
    for (const auto& [section, key, value] : c.keys) EXPECT_EQ(Key(section, key), value) << key;
    if (!c.ini.empty()) {
      EXPECT_EQ(dir_.Read("home/Vorn.ini"), c.ini);
    }
  }
}

// Which pairs are dangerous is the pair rules' tests' concern: here one
// refusal where `pair add` asks, and one where `pair set` does.
TEST_F(ShellCommandsTest, ARefusalSaysWhyAndWritesNothing) {
  // Each refused with status 1, saying why.
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"pair"}, "pair needs an action"}, {{"pair", "move", "1"}, "unknown pair action"},
      {{"pair", "add", dir_.Path("other"), dir_.Path("home")}, "settings or logs"},
      {{"pair", "add", dir_.Path("other")}, "no default target prefix"},
      {{"pair", "set", "1", "--move", "--remove-obsolete"}, "exclude each other"},
      {{"pair", "set", "1", "--every", "64001"}, "between 2 and 64000"},
      {{"pair", "set", "1", "--every", "1e3"}, "not a whole number"},
      {{"pair", "set", "1", "--keep-versions", "3651"}, "from 0 to 3650"},
      {{"pair", "set", "1", "--exclude", "!x"}, "not supported"},
      {{"pair", "set", "1", "--target", dir_.Path("src/x")}, "inside the source folder"},
      {{"pair", "set", "2", "--enabled"}, "no pair '2'"}, {{"pair", "remove", "0"}, "no pair '0'"},
      {{"pair", "set", "1", "--frob"}, "unknown option --frob"},
      {{"config", "set", "interval", "0"}, "from 1 to 32767"},
      {{"config", "set", "performance", "12abc"}, "from 1 to 100"},
      {{"config", "set", "subfolders", "maybe"}, "yes/no"},
      {{"config", "set", "language", "de"}, "fr, pt or en"},
      {{"config", "set", "log-folder", dir_.Path("missing")}, "existing folder"},
      {{"config", "set", "target-prefix", "a\nb"}, "line break"},
      {{"config", "get", "Temporisations"}, "unknown setting"},
      {{"config"}, "config needs an action"},
  };
  for (const auto& [args, why] : cases) {
    SCOPED_TRACE(args.back());
    Pair(kStartIni);
    const Outcome run = Vorn(args);
    EXPECT_TRUE(run.status == 1 && run.out.empty() && Has(run.err, why)) << run.err;
    EXPECT_EQ(dir_.Read("home/Vorn.ini") + dir_.Read("home/Vorn.w"),
              kStartIni + PairLines({{"src", "dst"}}));
  }
  // A file the program may not replace, and a damaged pairs file: status 2.
  ::chmod(dir_.Path("home/Vorn.ini").c_str(), 0444);
  EXPECT_EQ(Vorn({"config", "set", "interval", "20"}).status, 2);
  EXPECT_EQ(dir_.Read("home/Vorn.ini"), kStartIni);
  dir_.Write("home/Vorn.w", "\"2F00X\",\"\"\r\n");
  EXPECT_EQ(Vorn({"pair", "list"}).status, 2);
}

// The same additions through the command and through the window's own
// functions: the window's bytes, a name that is not UTF-8 included. With a
// target of its own the window saves twice, so only the keys' order may
// differ there.
TEST_F(ShellCommandsTest, AnAddedPairIsStoredAsTheWindowStoresIt) {
  const std::string odd = "caf\xC3\xA9 \xFF";
  dir_.Make({odd + "/", "home2/"});
  const std::string ini = "[Configuration]\nEffacement=1\nPrefixeCibleDefaut=" + dir_.Path("bak");
  for (const char* home : {"home/Vorn.ini", "home2/Vorn.ini"}) dir_.Write(home, ini + "\n");
  Application app;
  ASSERT_EQ(LoadApplicationFolder(*fs_, dir_.Path("home2"), app), "");
  ASSERT_EQ(Vorn({"pair", "add", dir_.Path(odd)}).status, 0);
  AddPairWithSource(*fs_, app, dir_.Path(odd));
  EXPECT_EQ(dir_.Read("home/Vorn.w"), dir_.Read("home2/Vorn.w"));
  EXPECT_EQ(dir_.Read("home/Vorn.ini"), dir_.Read("home2/Vorn.ini"));
  ASSERT_EQ(Vorn({"pair", "add", dir_.Path("src"), dir_.Path("dst")}).status, 0);
  AddPairWithSource(*fs_, app, dir_.Path("src"));
  ASSERT_TRUE(ChangePairFolder(*fs_, app, 1, PairSide::kTarget, dir_.Path("dst")));
  EXPECT_EQ(dir_.Read("home/Vorn.w"), dir_.Read("home2/Vorn.w"));
  const IniFile by_window(*fs_, dir_.Path("home2/Vorn.ini"));
  for (const char* key : {"NbTemporisations", "Deplacer", "Renommer", "Effacer", "Nouveau",
                          "Enable", "NoMilliseconds", "SourceVideAutorise", "SourceVolume"}) {
    EXPECT_EQ(Key("Mirror_2", key), by_window.Read("Mirror_2", key)) << key;
  }

  const Outcome listed = Vorn({"pair", "list", "--json"});
  EXPECT_TRUE(Has(listed.out, "caf\xC3\xA9 \\ufffd\",\"source_hex\":\"")) << listed.out;
  EXPECT_TRUE(Has(listed.out, "\"remove_obsolete\":true,\"move\":false")) << listed.out;
}

// Another Vorn on the folder: a window would write its own list back over a
// pair edit, so none is made; a headless run reads every change.
TEST_F(ShellCommandsTest, TheRunningInstanceDecidesWhatMayChange) {
  struct Case {
    platform::InstanceKind kind;
    int pair_status;
    std::string said;
  };
  const Case cases[] = {
      {platform::InstanceKind::kWindow, 1, "A Vorn window"},
      {platform::InstanceKind::kHeadless, 0, "vorn --headless"},
      {platform::InstanceKind::kService, 0, "reads the change before its next pass"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(platform::InstanceKindWord(c.kind)));
    Pair(kStartIni);
    const platform::InstanceLock held =
        platform::InstanceLock::TryAcquire(dir_.Path("home"), dir_.Path("home/Vorn.lock"), c.kind);
    ASSERT_EQ(held.state(), platform::InstanceLock::State::kHeld);
    const std::string before = dir_.Read("home/Vorn.w");
    const Outcome pair = Vorn({"pair", "set", "1", "--disabled"});
    EXPECT_EQ(pair.status, c.pair_status) << pair.err;
    EXPECT_EQ(dir_.Read("home/Vorn.ini") == kStartIni, c.pair_status != 0);
    EXPECT_EQ(dir_.Read("home/Vorn.w"), before);
    if (c.pair_status != 0) {
      EXPECT_TRUE(Has(pair.err, "close it")) << pair.err;
    }
    const Outcome config = Vorn({"config", "set", "interval", "20"});
    EXPECT_EQ(config.status, 0);
    EXPECT_TRUE(Has(config.out, c.said)) << config.out;
    EXPECT_TRUE(Has(config.out, "(pid " + std::to_string(::getpid()) + ")")) << config.out;
  }
}

}  // namespace
}  // namespace vorn
