#include "settings/pair_summary.h"

#include <gtest/gtest.h>

#include "shell/text.h"

namespace vorn {
namespace {

PairRow Row() {
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

TEST(PairSummaryTest, TheEnglishExample) {
  FolderPair pair;
  pair.NbTemporisations = "6";
  pair.Effacer = "1";
  const PairSummary s = SummarizePair(pair, Row(), 10, kEnglish, true);
  EXPECT_EQ(s.text,
            "/data/src -> ??? /backup\r\nT = 1 min 0 s; remove old target files; update if "
            "source and target files are different");
  EXPECT_FALSE(s.greyed);
}

TEST(PairSummaryTest, DisabledMovedAndRenamed) {
  FolderPair pair;
  pair.Enable = "0";
  pair.Deplacer = "1";
  pair.Renommer = "1";
  pair.NbTemporisations = "abc";  // no number: one interval
  const PairSummary fr = SummarizePair(pair, Row(), 3600, kFrench, true);
  EXPECT_EQ(fr.text,
            "/data/src -> ??? /backup [Miroir inactif]\r\nT = 1 h 0 min 0 s; déplacer les "
            "fichiers et renommer les fichiers Macintosh");
  EXPECT_TRUE(fr.greyed);
  // Portuguese: the English mark with the French policy; no rename off NT.
  const PairSummary pt = SummarizePair(pair, Row(), 3600, kPortuguese, false);
  EXPECT_EQ(pt.text,
            "/data/src -> ??? /backup [Mirror disabled]\r\nT = 1 h 0 min 0 s; déplacer les "
            "fichiers");
}

TEST(PairSummaryTest, OnlyZeroCountsAsDisabledHere) {
  FolderPair pair;
  pair.Enable = "yes";  // greyed in the grid, not marked here
  pair.Nouveau = "1";
  pair.NbTemporisations = "0";
  const PairSummary s = SummarizePair(pair, Row(), 5, kEnglish, true);
  EXPECT_FALSE(s.greyed);
  EXPECT_EQ(s.text,
            "/data/src -> ??? /backup\r\nT = 5 s; keep all target files; update if source file "
            "newer than target file");
}

}  // namespace
}  // namespace vorn
