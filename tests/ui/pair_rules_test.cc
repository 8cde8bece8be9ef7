// The rules behind pair editing, the settings dialogs and the hover summary,
// without windows. The dialogs' own checks of the limits live in the GUI tests.

#include <gtest/gtest.h>

#include "ui/pair_editing.h"
#include "config/pair_settings.h"
#include "ui/pair_summary.h"
#include "base/text.h"

namespace vorn {
namespace {

TEST(DefaultTargetTest, LocalPathsGoUnderTheDrivePrefix) {
  EXPECT_EQ(DefaultTarget("/data/x", "/mnt/backup", ""), "/mnt/backup/data/x");
  EXPECT_EQ(DefaultTarget("/data/x", "/mnt/backup/", ""), "/mnt/backup/data/x");
  EXPECT_EQ(DefaultTarget("/", "/mnt/backup", ""), "/mnt/backup/");
  EXPECT_EQ(DefaultTarget("D:\\data\\x", "E:", ""), "E:\\data\\x");  // the drive-letter rule
  EXPECT_EQ(DefaultTarget("/data/x", "", "//bak/b"), "");
  EXPECT_EQ(DefaultTarget("relative/x", "/mnt", ""), "");
}

TEST(DefaultTargetTest, NetworkPathsTakeTheNetworkPrefix) {
  EXPECT_EQ(DefaultTarget("//srv/share/data/x", "/mnt", "//bak/b"), "//bak/b/data/x");
  EXPECT_EQ(DefaultTarget("//srv/share", "", "//bak/b"), "//bak/b");
  EXPECT_EQ(DefaultTarget("//srv", "", "//bak/b"), "");
  EXPECT_EQ(DefaultTarget("\\\\srv\\share\\data", "", "\\\\bak\\b"), "\\\\bak\\b\\data");
  EXPECT_EQ(DefaultTarget("//srv/share/data", "/mnt", ""), "");
  EXPECT_FALSE(IsNetworkPath("/srv/share"));
}

TEST(PairEditingTest, PromptsAndTheWindowsFolder) {
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
  EXPECT_FALSE(form.remove_allowed);
  EXPECT_FALSE(form.update_rule_allowed);
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

TEST(PairSettingsTest, IntervalCountsAreCheckedAndSpelledOutInEachLanguage) {
  EXPECT_EQ(IntervalCountError("2", kEnglish, true), "");
  EXPECT_EQ(IntervalCountError("abc", kPortuguese, true), "Valeur incorrecte");
  EXPECT_EQ(IntervalCountError("12abc", kEnglish, true), "Invalid value");
  EXPECT_EQ(IntervalSpelledOut(8, 10, kFrench), "soit: 0 h 1 min 20 sec");
}

PairRow SummaryRow() {
  PairRow row;
  row.source_text = "/data/src      ";  // a Macintosh mark is trimmed away
  row.target_text = "??? /backup";
  return row;
}

TEST(PairSummaryTest, IntervalsInHoursMinutesAndSeconds) {
  EXPECT_EQ(IntervalText(3605), "1 h 0 min 5 s");
  EXPECT_EQ(IntervalText(3600), "1 h 0 min 0 s");
  EXPECT_EQ(IntervalText(60), "1 min 0 s");
  EXPECT_EQ(IntervalText(59), "59 s");
  EXPECT_EQ(IntervalText(0), "0 s");
}

TEST(PairSummaryTest, TheTextNamesTheIntervalAndThePolicyInTheLanguage) {
  FolderPair removing;
  removing.NbTemporisations = "6";
  removing.Effacer = "1";
  const PairSummary en = SummarizePair(removing, SummaryRow(), 10, kEnglish, true);
  EXPECT_EQ(en.text,
            "/data/src -> ??? /backup\r\nT = 1 min 0 s; remove old target files; update if "
            "source and target files are different");
  EXPECT_FALSE(en.greyed);

  FolderPair moving;
  moving.NbTemporisations = "abc";  // no number: one interval
  moving.Deplacer = moving.Renommer = "1";
  moving.Enable = "0";
  const PairSummary fr = SummarizePair(moving, SummaryRow(), 3600, kFrench, true);
  EXPECT_EQ(fr.text,
            "/data/src -> ??? /backup [Miroir inactif]\r\nT = 1 h 0 min 0 s; déplacer les "
            "fichiers et renommer les fichiers Macintosh");
  EXPECT_TRUE(fr.greyed);
  // Portuguese: the English mark with the French policy; no rename off NT.
  EXPECT_EQ(SummarizePair(moving, SummaryRow(), 3600, kPortuguese, false).text,
            "/data/src -> ??? /backup [Mirror disabled]\r\nT = 1 h 0 min 0 s; déplacer les "
            "fichiers");

  // Only "0" counts as disabled here, though the grid greys "yes".
  FolderPair keeping;
  keeping.NbTemporisations = "0";
  keeping.Nouveau = "1";
  keeping.Enable = "yes";
  const PairSummary odd = SummarizePair(keeping, SummaryRow(), 5, kEnglish, true);
  EXPECT_FALSE(odd.greyed);
  EXPECT_EQ(odd.text,
            "/data/src -> ??? /backup\r\nT = 5 s; keep all target files; update if source file "
            "newer than target file");
}

}  // namespace
}  // namespace vorn
