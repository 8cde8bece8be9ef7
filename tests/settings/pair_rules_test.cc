// The rules behind pair editing and the settings dialogs, without windows.

#include <gtest/gtest.h>

#include "settings/limits.h"
#include "settings/pair_editing.h"
#include "settings/pair_settings.h"
#include "shell/text.h"

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
  EXPECT_TRUE(IsNetworkPath("//srv/share"));
  EXPECT_FALSE(IsNetworkPath("/srv/share"));
}

TEST(PairEditingTest, PromptsAndTheWindowsFolder) {
  EXPECT_EQ(EditPrompt(PathKind::kSourceBrowse, EditAction::kAdd, kEnglish),
            "ADD: select a SOURCE folder");
  EXPECT_EQ(EditPrompt(PathKind::kTargetType, EditAction::kModify, kFrench),
            "MODIFIER: Choisir un dossier CIBLE");
  EXPECT_TRUE(InsideWindowsFolder("c:\\windows\\system32", "C:\\WINDOWS"));
  EXPECT_FALSE(InsideWindowsFolder("/home/u", ""));  // Linux: never, not everywhere
}

TEST(PairSettingsTest, OpeningReflectsThePairAndItsOddValues) {
  FolderPair pair;
  PairSettingsForm form = OpenPairSettings(pair, true);
  EXPECT_FALSE(form.specific_interval);
  EXPECT_EQ(form.interval_count, "2");
  EXPECT_TRUE(form.enabled);
  EXPECT_FALSE(form.rename_allowed);
  for (const std::string odd : {"64001", "abc", "1"}) {
    pair.NbTemporisations = odd;
    form = OpenPairSettings(pair, true);
    EXPECT_FALSE(form.specific_interval) << odd;
    EXPECT_EQ(form.interval_count, "2") << odd;
  }
  pair.NbTemporisations = "64000";
  pair.Deplacer = "1";
  pair.Renommer = "1";
  pair.Effacer = "1";
  form = OpenPairSettings(pair, true);
  EXPECT_TRUE(form.specific_interval);
  EXPECT_EQ(form.interval_count, "64000");
  EXPECT_TRUE(form.rename && form.rename_allowed);
  EXPECT_FALSE(form.remove_allowed);
  EXPECT_FALSE(form.update_rule_allowed);
}

TEST(PairSettingsTest, IntervalCountsAreCheckedAndSpelledOut) {
  EXPECT_EQ(IntervalCountError("64000", kEnglish, true), "");
  EXPECT_EQ(IntervalCountError("2", kEnglish, true), "");
  EXPECT_EQ(IntervalCountError("64001", kEnglish, true), "Value must be set between 2 and 64000");
  EXPECT_EQ(IntervalCountError("1", kEnglish, false), "Value must be between 2 and 64000");
  EXPECT_EQ(IntervalCountError("abc", kPortuguese, true), "Valeur incorrecte");
  EXPECT_EQ(IntervalCountError("12abc", kEnglish, true), "Invalid value");
  EXPECT_EQ(IntervalSpelledOut(6, 10, kEnglish), "i.e. 0 h 1 min 0 sec");
  EXPECT_EQ(IntervalSpelledOut(8, 10, kFrench), "soit: 0 h 1 min 20 sec");
  EXPECT_EQ(IntervalSpelledOut(400, 10, kEnglish), "i.e. 1 h 6 min 40 sec");
}

TEST(LimitsTest, OkAcceptsOnlyWhatLiesWithinRoundingHalvesToEven) {
  EXPECT_FALSE(kPurgeLimits.Accept("1"));
  EXPECT_EQ(kPurgeLimits.Accept("366"), 366);
  EXPECT_FALSE(kPurgeLimits.Accept("367"));
  EXPECT_FALSE(kPurgeLimits.Accept("abc"));
  EXPECT_EQ(kPurgeLimits.Accept("10.5"), 10);
  EXPECT_EQ(kPurgeLimits.Accept("11.5"), 12);
  EXPECT_FALSE(kTemporisationLimits.Accept("0"));
  EXPECT_EQ(kTemporisationLimits.Accept("25 s"), 25);
}

}  // namespace
}  // namespace vorn
