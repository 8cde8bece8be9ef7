// The rules behind pair editing, the settings dialogs and the hover summary,
// without windows. The dialogs' own checks of the limits live in the GUI tests.

#include <gtest/gtest.h>

#include "base/text.h"
#include "config/pair_settings.h"
#include "ui/pair_editing.h"
#include "ui/pair_summary.h"

namespace vorn {
namespace {

// Local paths go under the drive prefix, network paths under the network one.
TEST(PairEditingTest, DefaultTargetsPromptsAndTheWindowsFolder) {
  const struct {
    const char *source, *drive_prefix, *unc_prefix, *target;
  } cases[] = {
      {"/data/x", "/mnt/backup", "", "/mnt/backup/data/x"},
      {"/data/x", "/mnt/backup/", "", "/mnt/backup/data/x"},
      {"/", "/mnt/backup", "", "/mnt/backup/"},
      {"D:\\data\\x", "E:", "", "E:\\data\\x"},  // the drive-letter rule
      {"/data/x", "", "//bak/b", ""},
      {"relative/x", "/mnt", "", ""},
      {"/srv/share", "", "//bak/b", ""},  // one slash: local
      {"//srv/share/data/x", "/mnt", "//bak/b", "//bak/b/data/x"},
      {"//srv/share", "", "//bak/b", "//bak/b"},
      {"//srv", "", "//bak/b", ""},
      {"\\\\srv\\share\\data", "", "\\\\bak\\b", "\\\\bak\\b\\data"},
      {"//srv/share/data", "/mnt", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DefaultTarget(c.source, c.drive_prefix, c.unc_prefix), c.target) << c.source;
  }
  EXPECT_EQ(EditPrompt(PathKind::kTargetType, EditAction::kModify, kFrench),
            "MODIFIER: Choisir un dossier CIBLE");
  EXPECT_TRUE(InsideWindowsFolder("c:\\windows\\system32", "C:\\WINDOWS"));
  EXPECT_FALSE(InsideWindowsFolder("/home/u", ""));  // Linux: never, not everywhere
}

TEST(PairSettingsTest, OpeningReflectsThePairAndItsOddValues) {
  FolderPair pair;
  for (const std::string odd : {"64001", "abc", "1"}) {
    pair.NbTemporisations = odd;
    const PairSettingsForm form = OpenPairSettings(pair, true);
    EXPECT_FALSE(form.specific_interval) << odd;
    EXPECT_EQ(form.interval_count, "2") << odd;
  }
  pair.NbTemporisations = "64000";
  pair.Deplacer = pair.Renommer = pair.Effacer = "1";
  const PairSettingsForm form = OpenPairSettings(pair, true);
  EXPECT_TRUE(form.specific_interval);
  EXPECT_EQ(form.interval_count, "64000");
  EXPECT_TRUE(form.rename && form.rename_allowed);
  EXPECT_FALSE(form.remove_allowed || form.update_rule_allowed);
  EXPECT_EQ(IntervalCountError("2", kEnglish, true), "");
  EXPECT_EQ(IntervalCountError("abc", kPortuguese, true), "Valeur incorrecte");
  EXPECT_EQ(IntervalCountError("12abc", kEnglish, true), "Invalid value");
  EXPECT_EQ(IntervalSpelledOut(8, 10, kFrench), "soit: 0 h 1 min 20 sec");
}

TEST(PairSettingsTest, MovingTakesRemovalAndTheUpdateRuleAlongAndOnlyRemovalEmptiesATarget) {
  for (const bool nt : {false, true}) {
    SCOPED_TRACE(nt);
    PairSettingsForm form = OpenPairSettings(FolderPair{}, nt);
    EXPECT_FALSE(form.source_vide_allowed);
    SetRemove(form, true);
    EXPECT_TRUE(form.source_vide_allowed);
    form.newer_only = form.rename = true;
    SetMove(form, true, nt);
    EXPECT_EQ(form.rename_allowed, nt);
    EXPECT_EQ(form.rename, nt);  // off NT there is no renaming to keep
    EXPECT_FALSE(form.remove || form.remove_allowed || form.source_vide_allowed);
    EXPECT_FALSE(form.newer_only || form.update_rule_allowed);
    SetMove(form, false, nt);
    EXPECT_FALSE(form.rename || form.rename_allowed || form.remove || form.source_vide_allowed);
    EXPECT_TRUE(form.remove_allowed && form.update_rule_allowed);
  }
}

TEST(PairSummaryTest, TheTextNamesTheIntervalAndThePolicyInTheLanguage) {
  const std::pair<int32_t, const char*> intervals[] = {
      {3605, "1 h 0 min 5 s"}, {60, "1 min 0 s"}, {59, "59 s"}, {0, "0 s"}};
  for (const auto& [seconds, text] : intervals) EXPECT_EQ(IntervalText(seconds), text);
  PairRow row;
  row.source_text = "/data/src      ";  // a Macintosh mark is trimmed away
  row.target_text = "??? /backup";
  FolderPair removing, moving, keeping;
  removing.NbTemporisations = "6";
  removing.Effacer = "1";
  moving.NbTemporisations = "abc";  // no number: one interval
  moving.Deplacer = moving.Renommer = "1";
  moving.Enable = "0";
  keeping.NbTemporisations = "0";
  keeping.Nouveau = "1";
  keeping.Enable = "yes";  // only "0" counts as disabled here, though the grid greys "yes"
  const struct {
    const FolderPair& pair;
    int16_t temporisation;
    Language language;
    bool nt, greyed;
    std::string text;
  } cases[] = {
      {removing, 10, kEnglish, true, false,
       "\r\nT = 1 min 0 s; remove old target files; update if source and target files are "
       "different"},
      {moving, 3600, kFrench, true, true,
       " [Miroir inactif]\r\nT = 1 h 0 min 0 s; déplacer les fichiers et renommer les fichiers "
       "Macintosh"},
      // Portuguese: the English mark with the French policy; no rename off NT.
      {moving, 3600, kPortuguese, false, true,
       " [Mirror disabled]\r\nT = 1 h 0 min 0 s; déplacer les fichiers"},
      {keeping, 5, kEnglish, true, false,
       "\r\nT = 5 s; keep all target files; update if source file newer than target file"},
  };
  for (const auto& c : cases) {
    const PairSummary summary = SummarizePair(c.pair, row, c.temporisation, c.language, c.nt);
    EXPECT_EQ(summary.text, "/data/src -> ??? /backup" + c.text);
    EXPECT_EQ(summary.greyed, c.greyed) << c.text;
  }
}

}  // namespace
}  // namespace vorn
