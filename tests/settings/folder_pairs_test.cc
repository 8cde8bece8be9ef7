#include "settings/folder_pairs.h"

#include <gtest/gtest.h>

#include "settings/pair_danger.h"
#include "shell/text.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class FolderPairsTest : public ::testing::Test {
 protected:
  PairList Load(PairLoadContext context = {}) {
    return LoadFolderPairs(*fs_, ini_, pairs_path_, context);
  }
  bool Save(const PairList& list, std::vector<int16_t> rows) {
    return SaveFolderPairs(*fs_, ini_, pairs_path_, list.pairs, rows, PathFamily::kWide);
  }
  static PairLoadContext Context(bool nt, int16_t language,
                                 std::function<bool(const std::string&)> is_macintosh) {
    PairLoadContext context;
    context.nt = nt;
    context.language = language;
    context.is_macintosh_volume = std::move(is_macintosh);
    return context;
  }
  std::string Line(const std::string& source, const std::string& target) {
    return "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  IniFile ini_{*fs_, dir_.Path("Vorn.ini")};
  std::string pairs_path_ = dir_.Path("Vorn.w");
};

TEST_F(FolderPairsTest, NoPairsFileOrAnEmptyOneGivesNoPairs) {
  EXPECT_TRUE(Load().pairs.empty());
  dir_.Write("Vorn.w", "");
  const PairList list = Load();
  EXPECT_TRUE(list.pairs.empty());
  EXPECT_FALSE(list.damaged_message.has_value());
}

TEST_F(FolderPairsTest, NamesOutsideAsciiAndOutsideUtf8RoundTrip) {
  const std::string odd_name = "Données \xFF\xFE raw";
  dir_.MakeFolder(odd_name);
  dir_.MakeFolder("cible \xE2\x80\xA2");
  dir_.Write("Vorn.w", Line(dir_.Path(odd_name), dir_.Path("cible \xE2\x80\xA2")));
  PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 1u);
  EXPECT_EQ(list.pairs[0].Source, dir_.Path(odd_name));
  EXPECT_EQ(list.rows[0].source_text, dir_.Path(odd_name));  // found, so no "??? "
  EXPECT_TRUE(list.rows[0].target_exists);

  ASSERT_TRUE(Save(list, {1}));
  EXPECT_EQ(Load().pairs[0].Source, dir_.Path(odd_name));
}

TEST_F(FolderPairsTest, SettingsComeFromTheSectionOfTheLineNumber) {
  dir_.Write("Vorn.w", Line("/a", "/b") + Line("/c", "/d"));
  dir_.Write("Vorn.ini",
             "[Mirror_1]\nDeplacer=1\nNbTemporisations=3\n"
             "[Mirror_2]\nEffacer=1\nEnable=0\n"
             "[Mirror_3]\nNouveau=1\n");
  const PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 2u);
  EXPECT_EQ(list.pairs[0].Number, 1);
  EXPECT_EQ(list.pairs[0].Deplacer, "1");
  EXPECT_EQ(list.pairs[0].NbTemporisations, "3");
  EXPECT_EQ(list.pairs[0].PassCountdown, 3);
  EXPECT_EQ(list.pairs[1].Source, "/c");
  EXPECT_EQ(list.pairs[1].Effacer, "1");
  EXPECT_EQ(list.pairs[1].Enable, "0");
  EXPECT_EQ(list.pairs[1].Nouveau, "0");  // Mirror_3 belonged to the line removed by hand
  EXPECT_EQ(list.pairs[1].NbTemporisations, "1");
}

TEST_F(FolderPairsTest, RemovingTheFirstPairRenumbersTheRestAndKeepsOldSections) {
  dir_.Write("Vorn.w", Line("/one", "/t1") + Line("/two", "/t2") + Line("/three", "/t3"));
  dir_.Write("Vorn.ini",
             "[Mirror_1]\nNbTemporisations=1\nDeplacer=0\nRenommer=0\nEffacer=0\nNouveau=0\n"
             "Enable=1\nNoMilliseconds=0\n"
             "[Mirror_2]\nNbTemporisations=5\nDeplacer=1\nRenommer=0\nEffacer=0\nNouveau=1\n"
             "Enable=yes\nNoMilliseconds=1\n"
             "[Mirror_3]\nNbTemporisations=7\nDeplacer=0\nRenommer=0\nEffacer=1\nNouveau=0\n"
             "Enable=0\nNoMilliseconds=0\n");
  const PairList before = Load();
  ASSERT_TRUE(Save(before, {2, 3}));

  EXPECT_EQ(dir_.Read("Vorn.w"), Line("/two", "/t2") + Line("/three", "/t3"));
  const PairList after = Load();
  ASSERT_EQ(after.pairs.size(), 2u);
  EXPECT_EQ(after.pairs[0].Source, "/two");
  EXPECT_EQ(after.pairs[0].NbTemporisations, "5");
  EXPECT_EQ(after.pairs[0].Enable, "yes");  // texts survive unchanged
  EXPECT_EQ(after.pairs[1].Source, "/three");
  EXPECT_EQ(after.pairs[1].NbTemporisations, "7");
  // The section above the new count keeps what it held.
  EXPECT_EQ(ini_.Read("Mirror_3", "NbTemporisations"), "7");
  EXPECT_EQ(ini_.Read("Mirror_3", "Effacer"), "1");
}

TEST_F(FolderPairsTest, ASettingWithoutTextIsRemovedSoTheDefaultApplies) {
  dir_.Write("Vorn.ini", "[Mirror_1]\nEnable=0\nDeplacer=1\n");
  FolderPair added;
  added.Number = 1;
  added.Source = "/new";
  added.Enable.clear();
  added.Deplacer.clear();
  PairList list;
  list.pairs.push_back(added);
  ASSERT_TRUE(Save(list, {1}));
  EXPECT_EQ(ini_.Read("Mirror_1", "Enable"), "");
  EXPECT_EQ(Load().pairs[0].Enable, "1");
  EXPECT_EQ(Load().pairs[0].Deplacer, "0");
}

TEST_F(FolderPairsTest, TheFileIsQuotedHexWithCrLf) {
  FolderPair pair;
  pair.Number = 1;
  pair.Source = "C:\\";
  PairList list;
  list.pairs.push_back(pair);
  ASSERT_TRUE(Save(list, {1}));
  EXPECT_EQ(dir_.Read("Vorn.w"), "\"43003A005C00\",\"\"\r\n");
}

TEST_F(FolderPairsTest, ADamagedFieldGivesTheMessageAndNothingIsWritten) {
  const std::string damaged = Line("/a", "/b") + "\"43003A005C0\",\"\"\r\n";
  dir_.Write("Vorn.w", damaged);
  dir_.Write("Vorn.ini", "[Mirror_1]\nEnable=1\n");
  const PairList list = Load(Context(true, kFrench, {}));
  ASSERT_TRUE(list.damaged_message.has_value());
  EXPECT_EQ(*list.damaged_message, "Invalid hexa string in the parameters file\r\n" + pairs_path_);
  EXPECT_EQ(dir_.Read("Vorn.w"), damaged);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Mirror_1]\nEnable=1\n");
}

TEST_F(FolderPairsTest, UnquotedShortAndBlankLinesAreReadSensibly) {
  dir_.Write("Vorn.w", "\r\n" + EncodeHexPath("/a") + " , " + EncodeHexPath("/b") + "\n" +
                           "   \r\n\"" + EncodeHexPath("/c") + "\"\r\n");
  const PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 2u);
  EXPECT_EQ(list.pairs[0].Source, "/a");
  EXPECT_EQ(list.pairs[0].Target, "/b");
  EXPECT_EQ(list.pairs[1].Source, "/c");
  EXPECT_EQ(list.pairs[1].Target, "");
}

TEST_F(FolderPairsTest, DisplayTextsMarkMissingFolders) {
  dir_.MakeFolder("src");
  dir_.Write("Vorn.w", Line(dir_.Path("src"), "") + Line(dir_.Path("gone"), dir_.Path("src")));
  const PairList list = Load();
  EXPECT_EQ(list.rows[0].source_text, dir_.Path("src"));
  EXPECT_EQ(list.rows[0].target_text, "???");
  EXPECT_FALSE(list.rows[0].target_exists);
  EXPECT_EQ(list.rows[1].source_text, "??? " + dir_.Path("gone"));
  EXPECT_EQ(list.rows[1].target_text, dir_.Path("src"));
  EXPECT_EQ(list.first_missing_pair, 1);
}

TEST_F(FolderPairsTest, CellStylesFollowTheSettings) {
  dir_.Write("Vorn.w", Line("/a", "/b") + Line("/c", "/d") + Line("/e", "/f"));
  dir_.Write("Vorn.ini",
             "[Mirror_1]\nDeplacer=1\nEffacer=1\nNouveau=1\nNbTemporisations=01\n"
             "[Mirror_2]\nDeplacer=1\nEffacer=1\nEnable=0\n"
             "[Mirror_3]\nEnable=yes\n");
  const PairList list = Load();
  const PairRow& moving = list.rows[0];
  EXPECT_EQ(moving.source_style, (CellStyle{CellColour::kRed, true, false}));
  EXPECT_EQ(moving.target_style, (CellStyle{CellColour::kMagenta, true, false}));
  EXPECT_EQ(moving.interval_image, IntervalImage::kSpecificInterval);  // "01" is not "1"
  const PairRow& disabled = list.rows[1];
  EXPECT_EQ(disabled.source_style, (CellStyle{CellColour::kGrey, false, true}));
  EXPECT_EQ(disabled.target_style, (CellStyle{CellColour::kGrey, false, true}));
  EXPECT_EQ(disabled.interval_image, IntervalImage::kDefaultInterval);
  EXPECT_EQ(list.rows[2].source_style.colour, CellColour::kGrey);
}

TEST_F(FolderPairsTest, MacintoshVolumesAreMarkedAndMismatchesWarned) {
  dir_.MakeFolder("mac");
  dir_.MakeFolder("pc");
  dir_.Write("Vorn.w", Line(dir_.Path("mac"), dir_.Path("pc")));
  const auto is_mac = [&](const std::string& folder) { return folder == dir_.Path("mac"); };

  PairList list = Load(Context(true, kFrench, is_mac));
  EXPECT_TRUE(list.rows[0].source_is_macintosh);
  EXPECT_FALSE(list.rows[0].target_is_macintosh);
  EXPECT_EQ(list.rows[0].source_text, dir_.Path("mac") + "      ");
  EXPECT_TRUE(list.MacWarningPending);
  EXPECT_EQ(list.mac_warning,
            "ATTENTION: Un dossier source appartient à un volume Macintosh\r\n"
            "mais le dossier cible corrrespondant n'appartient pas à un volume Macintosh");

  dir_.Write("Vorn.w", Line(dir_.Path("pc"), dir_.Path("mac")));
  list = Load(Context(true, 0, is_mac));
  EXPECT_EQ(list.mac_warning,
            "WARNING: A target folder belongs to a Macintosh volume\r\n"
            "but the corresponding source folder does not belong to a Macintosh volume");

  list = Load(Context(false, 0, is_mac));
  EXPECT_FALSE(list.rows[0].target_is_macintosh);
  EXPECT_FALSE(list.MacWarningPending);
}

TEST_F(FolderPairsTest, NestedPairsAndTargetsOverOwnFilesAreRefused) {
  for (const char* folder :
       {"all", "all/incoming", "data", "outer", "outer/home", "logs", "other"}) {
    dir_.MakeFolder(folder);
  }
  dir_.MakeLink("view", "data");
  const std::string home = dir_.Path("outer/home");
  const std::string logs = dir_.Path("logs");
  struct Case {
    std::string source, target;  // relative to the test folder, unless absolute or empty
    PairDanger danger;
  };
  const Case cases[] = {
      {"all", "all", PairDanger::kSameFolder},
      {"all/incoming", "all", PairDanger::kSourceInsideTarget},
      {"data", "data/backup", PairDanger::kTargetInsideSource},  // not made yet
      {"data", "view/backup/deeper", PairDanger::kTargetInsideSource},
      {"data", "/", PairDanger::kTargetIsRoot},
      {"data", "outer/home", PairDanger::kTargetHoldsOwnFiles},
      {"data", "outer", PairDanger::kTargetHoldsOwnFiles},
      {"data", "logs", PairDanger::kTargetHoldsOwnFiles},
      {"outer/home", "other", PairDanger::kNone},  // copying Vorn's files harms nothing
      {"data", "other", PairDanger::kNone},
      {"", "other", PairDanger::kNone},
      {"data", "", PairDanger::kNone},
  };
  const auto full = [this](const std::string& path) {
    return path.empty() || path.starts_with("/") ? path : dir_.Path(path);
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DangerOf(full(c.source), full(c.target), home, logs), c.danger)
        << c.source << " -> " << c.target;
  }

  // A load marks the refused pair, leaves the others alone and says why.
  dir_.Write("Vorn.w", Line(dir_.Path("all/incoming"), dir_.Path("all")) +
                           Line(dir_.Path("data"), dir_.Path("other")));
  PairLoadContext context;
  context.application_folder = home;
  context.log_folder = logs;
  const PairList list = Load(context);
  ASSERT_EQ(list.pairs.size(), 2u);
  EXPECT_EQ(list.pairs[0].Danger, PairDanger::kSourceInsideTarget);
  EXPECT_EQ(list.rows[0].source_text, dir_.Path("all/incoming"));
  EXPECT_EQ(list.rows[0].target_text, "??? " + dir_.Path("all"));
  EXPECT_EQ(list.rows[0].target_style, (CellStyle{CellColour::kRed, false, true}));
  EXPECT_EQ(list.pairs[1].Danger, PairDanger::kNone);
  EXPECT_EQ(list.rows[1].target_text, dir_.Path("other"));
  EXPECT_EQ(list.first_missing_pair, 0);  // refused is not missing: "-U" still runs the rest
  EXPECT_EQ(list.refusals,
            std::vector<std::string>{
                "Folder pair refused: the source folder lies inside the target folder\r\n" +
                dir_.Path("all/incoming") + " -> " + dir_.Path("all")});
}

}  // namespace
}  // namespace vorn
