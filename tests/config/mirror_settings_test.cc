#include "config/mirror_settings.h"

#include <gtest/gtest.h>

#include "base/number_reading.h"

#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class MirrorSettingsTest : public ::testing::Test {
 protected:
  MirrorSettings Load() { return LoadSettings(ini_, *fs_, dir_.path()); }
  void WriteIni(const std::string& text) { dir_.Write("Vorn.ini", text); }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  IniFile ini_{*fs_, dir_.Path("Vorn.ini")};
};

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
    EXPECT_EQ(s.Temporisation, c.temporisation);
    EXPECT_EQ(s.MaxTimeInterval, c.max_interval);
    EXPECT_EQ(s.Performance, c.performance);
    EXPECT_EQ(s.DelaiLogs, c.delai_logs);
    EXPECT_EQ(s.Langue, c.langue);
    EXPECT_EQ(s.MiroirSousDossiers, c.sous_dossiers);
    EXPECT_EQ(s.Automatique, c.automatique);
    EXPECT_EQ(s.ErreurDossier, c.erreur_dossier);
    EXPECT_EQ(s.Logs, c.logs);
    EXPECT_EQ(s.FichiersLogs, c.fichiers_logs);
    if (!c.ini.empty()) continue;
    EXPECT_FALSE(dir_.Exists("Vorn.ini"));  // loading never writes
    EXPECT_EQ(s.PathLogs, dir_.path());
    EXPECT_EQ(s.MessageNetSend, "Administrator \"Warning from Vorn: unknown folder\"");
    EXPECT_EQ(s.PrefixeCibleDefaut + s.PrefixeCibleDefautUNC, "");
    for (const bool flag : {s.Effacement, s.CopieSecurisee, s.CopierAttributs, s.CopierSecurite,
                            s.CopierSecuriteDossiers, s.CopierSecuriteTout, s.AfficherFichiers,
                            s.AfficherLocked, s.ArretAutomatique, s.ErreurDossierSon,
                            s.ErreurDossierNetSend, s.ErreurDossierEventLog, s.PurgeLogs}) {
      EXPECT_FALSE(flag);
    }
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
  dir_.MakeFolder("logs");
  dir_.MakeLink("logs-link", "logs");
  dir_.Write("a-file", "");
  const struct {
    std::string path_logs;
    std::string loaded;
  } cases[] = {
      {"", dir_.path()},
      {dir_.Path("gone"), dir_.path()},
      {dir_.Path("a-file"), dir_.path()},
      // An existing folder, but only as seen from the working directory.
      {dir_.RelativePath("logs"), dir_.path()},
      {dir_.Path("logs-link"), dir_.Path("logs-link")},
  };
  for (const auto& c : cases) {
    const std::string text = "[Logs]\nPathLogs=" + c.path_logs + "\n";
    WriteIni(text);
    EXPECT_EQ(Load().PathLogs, c.loaded) << c.path_logs;
    EXPECT_EQ(LogFolder(*fs_, c.path_logs, dir_.path()), c.loaded) << c.path_logs;
    EXPECT_EQ(dir_.Read("Vorn.ini"), text);
  }
}

// Storing a choice is checked through the window's menu.
TEST_F(MirrorSettingsTest, SecurityChoiceRowsLoad) {
  // CopierSecurite, CopierSecuriteDossiers and CopierSecuriteTout, and the choice they make.
  const std::pair<const char*, SecurityChoice> rows[] = {
      {"000", SecurityChoice::kNone},     {"011", SecurityChoice::kNone},
      {"100", SecurityChoice::kModified}, {"110", SecurityChoice::kModifiedAndFolders},
      {"101", SecurityChoice::kEveryFile}, {"111", SecurityChoice::kEveryFile}};
  for (const auto& [flags, choice] : rows) {
    WriteIni(std::string("[Configuration]\nCopierSecurite=") + flags[0] +
             "\nCopierSecuriteDossiers=" + flags[1] + "\nCopierSecuriteTout=" + flags[2] + "\n");
    const MirrorSettings s = Load();
    EXPECT_EQ(SecurityChoiceOf(s), choice) << flags;
    EXPECT_EQ(s.CopierSecuriteDossiers, choice == SecurityChoice::kModifiedAndFolders) << flags;
    EXPECT_EQ(s.CopierSecuriteTout, choice == SecurityChoice::kEveryFile) << flags;
  }
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
