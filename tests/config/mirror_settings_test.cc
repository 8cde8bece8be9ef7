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

TEST_F(MirrorSettingsTest, EveryDefaultWithoutAFile) {
  const MirrorSettings s = Load();
  EXPECT_EQ(s.Langue, kUnset);
  EXPECT_TRUE(s.MiroirSousDossiers);
  EXPECT_EQ(s.Temporisation, 10);
  EXPECT_EQ(s.MaxTimeInterval, 10000000);
  EXPECT_EQ(s.Performance, 1);
  EXPECT_EQ(s.DelaiLogs, 10);
  EXPECT_EQ(s.PathLogs, dir_.path());
  EXPECT_EQ(s.MessageNetSend, "Administrator \"Warning from Vorn: unknown folder\"");
  for (const bool flag :
       {s.Effacement, s.CopieSecurisee, s.CopierAttributs, s.CopierSecurite,
        s.CopierSecuriteDossiers, s.CopierSecuriteTout, s.AfficherFichiers, s.AfficherLocked,
        s.Automatique, s.ArretAutomatique, s.ErreurDossier, s.ErreurDossierSon,
        s.ErreurDossierNetSend, s.ErreurDossierEventLog, s.Logs, s.FichiersLogs, s.PurgeLogs}) {
    EXPECT_FALSE(flag);
  }
  EXPECT_EQ(s.PrefixeCibleDefaut, "");
  EXPECT_EQ(s.PrefixeCibleDefautUNC, "");
  EXPECT_FALSE(dir_.Exists("Vorn.ini"));  // loading never writes
}

TEST(NumberReadingTest, TakesTheLeadingNumberOfAText) {
  EXPECT_EQ(LeadingNumber("25 s"), 25);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("  -7"), -7);
  EXPECT_EQ(LeadingNumber("2.5 seconds"), 2.5);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_EQ(LeadingNumber("1e"), 1);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("0x1F"), 0);
  EXPECT_EQ(LeadingNumber("inf"), 0);
}

TEST(NumberReadingTest, RoundsHalvesToEvenAndClampsToTheType) {
  EXPECT_EQ(ReadInteger("2.5"), 2);
  EXPECT_EQ(ReadInteger("3.5"), 4);
  EXPECT_EQ(ReadInteger("-2.5"), -2);
  EXPECT_EQ(ReadInteger("2.51"), 3);
  EXPECT_EQ(ReadInteger("-100000"), -32768);
  EXPECT_EQ(ReadLong("99999999999"), 2147483647);
  EXPECT_EQ(ReadLong("1e999"), 2147483647);
  EXPECT_EQ(ReadLong("1e-999"), 0);
}

// Each key is read with the width of its type, and zero takes the default.
TEST_F(MirrorSettingsTest, NumbersAreReadAsLeadingNumbersOfTheirType) {
  WriteIni(
      "[Configuration]\nTemporisation=25 s\nPerformance=2.5\nMaxTimeInterval=12abc\n"
      "Langue=7\n[Logs]\nDelaiLogs=3.5\n");
  MirrorSettings s = Load();
  EXPECT_EQ(s.Temporisation, 25);
  EXPECT_EQ(s.Performance, 2);
  EXPECT_EQ(s.MaxTimeInterval, 12);
  EXPECT_EQ(s.DelaiLogs, 4);
  EXPECT_EQ(s.Langue, Language{7});
  WriteIni(
      "[Configuration]\nTemporisation=100000\nMaxTimeInterval=0\nPerformance=abc\n"
      "[Logs]\nDelaiLogs=0 days\n");
  s = Load();
  EXPECT_EQ(s.Temporisation, 32767);
  EXPECT_EQ(s.MaxTimeInterval, 10000000);
  EXPECT_EQ(s.Performance, 1);
  EXPECT_EQ(s.DelaiLogs, 10);
  WriteIni("[Configuration]\nTemporisation=0\n");
  EXPECT_EQ(Load().Temporisation, 10);
}

TEST_F(MirrorSettingsTest, AFlagIsOnOnlyWhenItReadsOne) {
  WriteIni(
      "[Configuration]\nMiroirSousDossiers=\nAutomatique=yes\nLogs=1\n"
      "ErreurDossier=1\n[Logs]\nLogs=true\nFichiersLogs=1\n");
  MirrorSettings s = Load();
  EXPECT_TRUE(s.MiroirSousDossiers);  // empty reads as absent
  EXPECT_FALSE(s.Automatique);
  EXPECT_TRUE(s.ErreurDossier);
  EXPECT_FALSE(s.Logs);  // "Logs" lives in [Logs], where it reads "true"
  EXPECT_TRUE(s.FichiersLogs);
  WriteIni("[Configuration]\nMiroirSousDossiers=yes\n");
  EXPECT_FALSE(Load().MiroirSousDossiers);
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
  struct Row {
    const char* copier_securite;
    const char* dossiers;
    const char* tout;
    SecurityChoice loads_as;
  };
  for (const Row& row :
       {Row{"0", "0", "0", SecurityChoice::kNone}, Row{"0", "1", "1", SecurityChoice::kNone},
        Row{"1", "0", "0", SecurityChoice::kModified},
        Row{"1", "1", "0", SecurityChoice::kModifiedAndFolders},
        Row{"1", "0", "1", SecurityChoice::kEveryFile},
        Row{"1", "1", "1", SecurityChoice::kEveryFile}}) {
    WriteIni(std::string("[Configuration]\nCopierSecurite=") + row.copier_securite +
             "\nCopierSecuriteDossiers=" + row.dossiers + "\nCopierSecuriteTout=" + row.tout +
             "\n");
    const MirrorSettings s = Load();
    EXPECT_EQ(SecurityChoiceOf(s), row.loads_as);
    EXPECT_EQ(s.CopierSecuriteDossiers, row.loads_as == SecurityChoice::kModifiedAndFolders);
    EXPECT_EQ(s.CopierSecuriteTout, row.loads_as == SecurityChoice::kEveryFile);
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
