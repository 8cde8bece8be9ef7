// The configuration file: how its keys are read and written, and the global
// settings loaded from it and stored in it.

#include "config/mirror_settings.h"

#include <array>
#include <tuple>

#include <gtest/gtest.h>

#include "base/number_reading.h"
#include "config/ini_file.h"
#include "config/limits.h"
#include "platform/fault_injecting_file_system.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  MirrorSettings Load() { return LoadSettings(ini_, *fs_, dir_.path()); }
  void WriteIni(const std::string& text) { dir_.Write("Vorn.ini", text); }

  testing::TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  IniFile ini_{*fs_, dir_.Path("Vorn.ini")};
};
using IniFileTest = ConfigurationTest;
using MirrorSettingsTest = ConfigurationTest;

// Each file is written by hand over the last one, so a read that trusted what
// it parsed before would see stale values; writes keep every other byte.
TEST_F(IniFileTest, ReadsFollowThePrivateProfileRulesAndWritesChangeOnlyTheirKey) {
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "");     // no file
  ASSERT_TRUE(ini_.Write("Configuration", "Langue", "3"));  // the first write makes the file
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Configuration]\nLangue=3\n");
  std::string garbage = "[Configuration\nno equals sign\n\x01\x02\xff=\xfe\n=value without key\n";
  garbage += std::string("\0\0", 2) + "\nLangue=2\n";
  const struct {
    std::string text;
    std::vector<std::array<std::string, 3>> reads;  // section, key, value
    std::vector<IniFile::Change> changes = {};
    std::string after = {};  // none: the text as it was
    mode_t mode = 0644;
  } cases[] = {
      {"[Configuration]\r\nLangue=\r\nOther=1\r\n",
       {{"Configuration", "Langue", ""}, {"Configuration", "Missing", ""}, {"Logs", "Other", ""},
        {"Configuration", "Other", "1"}}},
      {"; comment=ignored\nstray=before any section\n  [ configuration ]  \n  LANGUE  =  2  \n"
       "Message = \"Warning, quoted\"\nHalf = \"only one quote\nInner = a \"b\" c\n",
       {{"CONFIGURATION", "langue", "2"}, {"Configuration", "Message", "Warning, quoted"},
        {"Configuration", "Half", "\"only one quote"}, {"Configuration", "Inner", "a \"b\" c"},
        {"", "stray", ""}}},
      {garbage, {{"Configuration", "Langue", "2"}, {"Configuration", "", ""}}},
      {"[Logs]\nPathLogs=" + std::string(300, 'v') + "\n",
       {{"Logs", "PathLogs", std::string(254, 'v')}}},
      // A character that straddles the cut is dropped whole.
      {"[Logs]\nPathLogs=" + std::string(253, 'v') + "é\n",
       {{"Logs", "PathLogs", std::string(253, 'v')}}},
      {"[A]\nk=1\nk=2\n[A]\nk=3\nj=4\n", {{"A", "k", "1"}, {"A", "j", ""}}, {{"A", "k", "9"}},
       "[A]\nk=9\nk=2\n[A]\nk=3\nj=4\n"},
      // Found by fuzzing: appending after such a last line changed its value.
      {"[Logs]\r\nLogs=1\r", {{"Logs", "Logs", "1"}},
       {{"Mirror_7", "Enable", "yes"}, {"Logs", "Purge", "0"}},
       "[Logs]\r\nLogs=1\r\nPurge=0\r\n[Mirror_7]\r\nEnable=yes\r\n"},
      {"; hand-written notes\r\n[Configuration]\r\nLangue=1\r\n  Temporisation = 25 s\r\n"
       "UnknownKey=keep me\r\n\r\n[Logs]\r\nLogs=1",  // no final line end
       {}, {{"configuration", "TEMPORISATION", "30"}},
       "; hand-written notes\r\n[Configuration]\r\nLangue=1\r\nTemporisation=30\r\n"
       "UnknownKey=keep me\r\n\r\n[Logs]\r\nLogs=1"},
      {"[Configuration]\r\nLangue=1\r\n\r\n[Logs]\r\nLogs=1", {},
       {{"Configuration", "Automatique", "1"}, {"Logs", "PurgeLogs", "0"},
        {"Mirror_1", "Enable", "1"}},
       "[Configuration]\r\nLangue=1\r\nAutomatique=1\r\n\r\n[Logs]\r\nLogs=1\r\nPurgeLogs=0\r\n"
       "[Mirror_1]\r\nEnable=1\r\n"},
      {"[Mirror_1]\nDeplacer=1\nEnable=0\n", {},
       {{"Mirror_1", "Deplacer", std::nullopt}, {"Mirror_9", "Deplacer", std::nullopt},
        {"Mirror_1", "Message", "bob\nhello"}},  // a line break cannot split the file
       "[Mirror_1]\nEnable=0\nMessage=bob hello\n"},
      {"[Configuration]\nLangue=1\n", {}, {{"Configuration", "Langue", "2"}}, {}, 0444},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    dir_.Write("Vorn.ini", c.text, c.mode);
    for (const auto& [section, key, value] : c.reads) {
      EXPECT_EQ(ini_.Read(section, key), value) << section << "/" << key;
    }
    for (const IniFile::Change& change : c.changes) {
      EXPECT_EQ(ini_.Write(change.section, change.key, change.value), c.mode == 0644);
    }
    EXPECT_EQ(dir_.Read("Vorn.ini"), c.after.empty() ? c.text : c.after);
  }
  EXPECT_EQ(ini_.Read("Configuration", "Langue"), "1");  // the read-only file's own
}

TEST_F(IniFileTest, BatchedWritesLandInOneReplacement) {
  platform::FaultInjectingFileSystem counting(*fs_);
  IniFile ini(counting, dir_.Path("Vorn.ini"));
  std::vector<IniFile::Change> changes;
  for (int i = 1; i <= 50; ++i) {
    changes.push_back({"Mirror_" + std::to_string(i), "Enable", "1"});
    changes.push_back({"Mirror_" + std::to_string(i), "Effacer", std::nullopt});
  }
  ASSERT_TRUE(ini.WriteAll(changes));
  EXPECT_EQ(counting.Calls(platform::FsOperation::kReplaceFile), 1);
  EXPECT_EQ(ini.Read("Mirror_50", "Enable"), "1");
}

// Each key is read with the width of its type, zero takes the default, and a
// flag is on only when it reads "1".
TEST_F(MirrorSettingsTest, KeysLoadAsTheirTypeReadsThem) {
  const struct {
    std::string ini;  // none: no file
    int16_t temporisation;
    int32_t max_interval;
    int16_t performance, delai_logs;
    Language langue;
    bool sous_dossiers, automatique, erreur_dossier, logs, fichiers_logs;
  } cases[] = {
      {"", 10, 10000000, 1, 10, kUnset, true, false, false, false, false},
      {"[Configuration]\nTemporisation=25 s\nPerformance=2.5\nMaxTimeInterval=12abc\nLangue=7\n"
       "MiroirSousDossiers=\nAutomatique=yes\nLogs=1\nErreurDossier=1\n"
       "[Logs]\nDelaiLogs=3.5\nLogs=true\nFichiersLogs=1\n",  // "Logs" lives in [Logs]
       25, 12, 2, 4, Language{7}, true, false, true, false, true},
      {"[Configuration]\nTemporisation=0\nMaxTimeInterval=0\nPerformance=100000\n"
       "MiroirSousDossiers=yes\nAutomatique=1\n[Logs]\nDelaiLogs=0 days\nLogs=1\n",
       10, 10000000, 32767, 10, kUnset, false, true, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    if (!c.ini.empty()) WriteIni(c.ini);
    const MirrorSettings s = Load();
    EXPECT_EQ(std::tuple(s.Temporisation, s.MaxTimeInterval, s.Performance, s.DelaiLogs, s.Langue),
              std::tuple(c.temporisation, c.max_interval, c.performance, c.delai_logs, c.langue));
    EXPECT_EQ(std::tuple(s.MiroirSousDossiers, s.Automatique, s.ErreurDossier, s.Logs,
                         s.FichiersLogs),
              std::tuple(c.sous_dossiers, c.automatique, c.erreur_dossier, c.logs,
                         c.fichiers_logs));
    if (!c.ini.empty()) continue;
    EXPECT_FALSE(dir_.Exists("Vorn.ini"));  // loading never writes
    for (const bool flag : {s.Effacement, s.CopieSecurisee, s.CopierAttributs, s.CopierSecurite,
                            s.CopierSecuriteDossiers, s.CopierSecuriteTout, s.AfficherFichiers,
                            s.AfficherLocked, s.ArretAutomatique, s.ErreurDossierSon,
                            s.ErreurDossierNetSend, s.ErreurDossierEventLog, s.PurgeLogs})
      EXPECT_FALSE(flag);
  }
}

TEST(NumberReadingTest, TheLeadingNumberRoundedHalfToEvenAndClampedToTheType) {
  const std::pair<const char*, double> leading[] = {
      {"25 s", 25},  {"abc", 0}, {"  -7", -7}, {"2.5 seconds", 2.5}, {".5", 0.5},
      {"1e3", 1000}, {"1e", 1},  {"-", 0},     {"0x1F", 0},          {"inf", 0}};
  for (const auto& [text, number] : leading) EXPECT_EQ(LeadingNumber(text), number) << text;
  const std::pair<const char*, int16_t> integers[] = {
      {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {"-100000", -32768}};
  for (const auto& [text, number] : integers) EXPECT_EQ(ReadInteger(text), number) << text;
  EXPECT_EQ(ReadLong("99999999999"), 2147483647);
  EXPECT_EQ(ReadLong("1e999"), 2147483647);
  EXPECT_EQ(ReadLong("1e-999"), 0);
}

TEST_F(MirrorSettingsTest, AnUnusableLogFolderBecomesTheApplicationFolderInMemoryOnly) {
  dir_.Make({"logs/", "logs-link->logs", "a-file="});
  // The relative path names an existing folder, but only as seen from the working directory.
  const std::pair<std::string, std::string> cases[] = {
      {"", dir_.path()}, {dir_.Path("gone"), dir_.path()}, {dir_.Path("a-file"), dir_.path()},
      {dir_.RelativePath("logs"), dir_.path()}, {dir_.Path("logs-link"), dir_.Path("logs-link")}};
  for (const auto& [path_logs, loaded] : cases) {
    const std::string text = "[Logs]\nPathLogs=" + path_logs + "\n";
    WriteIni(text);
    EXPECT_EQ(Load().PathLogs, loaded) << path_logs;
    EXPECT_EQ(LogFolder(*fs_, path_logs, dir_.path()), loaded) << path_logs;
    EXPECT_EQ(dir_.Read("Vorn.ini"), text);
  }
}

// A choice writes its three keys only when it changes.
TEST_F(MirrorSettingsTest, SecurityChoiceRowsLoadAndAChoiceIsStoredOnlyWhenItChanges) {
  // CopierSecurite, CopierSecuriteDossiers and CopierSecuriteTout, and the choice they make.
  const std::pair<const char*, SecurityChoice> rows[] = {
      {"000", SecurityChoice::kNone},     {"011", SecurityChoice::kNone},
      {"100", SecurityChoice::kModified}, {"110", SecurityChoice::kModifiedAndFolders},
      {"101", SecurityChoice::kEveryFile}, {"111", SecurityChoice::kEveryFile}};
  for (const auto& [flags, choice] : rows) {
    WriteIni(std::string("[Configuration]\nCopierSecurite=") + flags[0] +
             "\nCopierSecuriteDossiers=" + flags[1] + "\nCopierSecuriteTout=" + flags[2] + "\n");
    const MirrorSettings s = Load();
    EXPECT_EQ(std::tuple(SecurityChoiceOf(s), s.CopierSecuriteDossiers, s.CopierSecuriteTout),
              std::tuple(choice, choice == SecurityChoice::kModifiedAndFolders,
                         choice == SecurityChoice::kEveryFile))
        << flags;
  }
  WriteIni("[Configuration]\n");
  platform::FaultInjectingFileSystem counting(*fs_);
  IniFile ini(counting, dir_.Path("Vorn.ini"));
  MirrorSettings s = Load();
  EXPECT_TRUE(StoreSecurityChoice(ini, s, SecurityChoice::kModifiedAndFolders));
  EXPECT_FALSE(StoreSecurityChoice(ini, s, SecurityChoice::kModifiedAndFolders));
  EXPECT_EQ(counting.Calls(platform::FsOperation::kReplaceFile), 3);
  EXPECT_EQ(dir_.Read("Vorn.ini"),
            "[Configuration]\nCopierSecurite=1\nCopierSecuriteDossiers=1\nCopierSecuriteTout=0\n");
}

// What an arrow click makes of a number box's text, and what OK accepts.
TEST(LimitedNumberTest, ArrowsStopAtTheLimitsAndOkTakesOnlyWhatReadsWithinThem) {
  const LimitedNumber &tempo = kTemporisationLimits, &purge = kPurgeLimits;
  // The text, the arrow, and the new text with the limit message shown ("-" or "+").
  const std::tuple<const LimitedNumber&, const char*, bool, std::string> arrows[] = {
      {tempo, "32766", true, "32767+"}, {tempo, "32767", true, "32767+"},
      {tempo, "10 s", true, "11"},      {tempo, "2", false, "1-"},
      {tempo, "abc", false, "1-"},      {purge, "3", false, "2-"},
      {purge, "4.5", false, "4"},  // 3.5, to even
      {purge, "366", true, "366+"}};
  for (const auto& [limits, text, up, shown] : arrows) {
    const LimitedNumber::Step step = limits.Arrow(text, up);
    EXPECT_EQ(step.text + (step.at_minimum ? "-" : "") + (step.at_maximum ? "+" : ""), shown);
  }
  const std::tuple<const LimitedNumber&, const char*, std::optional<int16_t>> accepted[] = {
      {tempo, "32767", 32767},    {tempo, "32768", std::nullopt}, {tempo, "0", std::nullopt},
      {tempo, "x", std::nullopt}, {purge, " 11.5 days", 12},      {purge, "12.5", 12},
      {purge, "2", 2},            {purge, "367", std::nullopt},   {purge, "1.9", std::nullopt}};
  for (const auto& [limits, text, value] : accepted) EXPECT_EQ(limits.Accept(text), value) << text;
}

TEST_F(MirrorSettingsTest, StoreWritesOneKeyInItsSectionAndKeepsAFailedOneInMemory) {
  WriteIni("[Configuration]\n; keep\nLangue=1\n");
  MirrorSettings s = Load();
  Store(ini_, s, &MirrorSettings::Automatique, true);
  Store(ini_, s, &MirrorSettings::Langue, kPortuguese);
  Store(ini_, s, &MirrorSettings::Temporisation, int16_t{30});
  Store(ini_, s, &MirrorSettings::MaxTimeInterval, int32_t{20000000});
  Store(ini_, s, &MirrorSettings::PathLogs, std::string("/var/log/vorn"));
  Store(ini_, s, &MirrorSettings::DelaiLogs, int16_t{5});
  const std::string stored =
      "[Configuration]\n; keep\nLangue=2\nAutomatique=1\nTemporisation=30\n"
      "MaxTimeInterval=20000000\n[Logs]\nPathLogs=/var/log/vorn\nDelaiLogs=5\n";
  EXPECT_EQ(dir_.Read("Vorn.ini"), stored);
  EXPECT_EQ(ReadLanguage(ini_), kPortuguese);

  ASSERT_EQ(::chmod(dir_.Path("Vorn.ini").c_str(), 0444), 0);
  Store(ini_, s, &MirrorSettings::Automatique, false);
  EXPECT_FALSE(s.Automatique);
  EXPECT_EQ(dir_.Read("Vorn.ini"), stored);
}

}  // namespace
}  // namespace vorn
