#include "config/folder_pairs.h"

#include <tuple>

#include <gtest/gtest.h>

#include "base/text.h"
#include "config/hex_path.h"
#include "config/pair_danger.h"
#include "config/pair_settings.h"
#include "platform/fault_injecting_file_system.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class FolderPairsTest : public ::testing::Test {
 protected:
  PairList Load() { return LoadFolderPairs(*fs_, ini_, pairs_path_, context_); }
  bool Save(const PairList& list, std::vector<int16_t> rows) {
    return SaveFolderPairs(*fs_, ini_, pairs_path_, list.pairs, rows, PathFamily::kWide);
  }
  std::string Line(const std::string& source, const std::string& target) {
    return "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  IniFile ini_{*fs_, dir_.Path("Vorn.ini")};
  std::string pairs_path_ = dir_.Path("Vorn.w");
  PairLoadContext context_;
};

TEST_F(FolderPairsTest, FolderTextsMarkWhatIsMissingAndASaveKeepsOddNamesAndDropsEmptySettings) {
  const std::string odd = "Données \xFF\xFE raw";  // outside ASCII and outside UTF-8
  const std::string pairs = Line(dir_.Path(odd), "") + Line(dir_.Path("gone"), dir_.Path(odd));
  dir_.MakeFolder(odd);
  dir_.Write("Vorn.w", pairs);
  dir_.Write("Vorn.ini", "[Mirror_1]\nEnable=0\nDeplacer=1\n");
  PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 2u);
  // A folder found shows as it is, a missing one after "??? ".
  const auto& [first, second] = std::tie(list.rows[0], list.rows[1]);
  EXPECT_EQ(std::tuple(first.source_text, first.target_text, first.target_exists),
            std::tuple(dir_.Path(odd), "???", false));
  EXPECT_EQ(std::tuple(second.source_text, second.target_text, second.target_exists),
            std::tuple("??? " + dir_.Path("gone"), dir_.Path(odd), true));
  EXPECT_EQ(list.first_missing_pair, 1);

  list.pairs[0].Deplacer = list.pairs[0].Enable = "";
  ASSERT_TRUE(Save(list, {1, 2}));
  EXPECT_EQ(dir_.Read("Vorn.w"), pairs);
  EXPECT_EQ(ini_.Read("Mirror_1", "Enable"), "");  // removed, so the default applies
  list = Load();
  EXPECT_EQ(list.pairs[0].Enable + list.pairs[0].Deplacer, "10");
}

// The colours of ordinary rows are checked through the window's grid.
TEST_F(FolderPairsTest, SettingsAndCellStylesComeFromTheSectionOfTheLineNumber) {
  dir_.Write("Vorn.w", Line("/a", "/b") + Line("/c", "/d"));
  dir_.Write("Vorn.ini",
             "[Mirror_1]\nDeplacer=1\nNouveau=1\nNbTemporisations=03\n"
             "[Mirror_2]\nEnable=yes\n[Mirror_3]\nNouveau=1\n");
  const PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 2u);
  const FolderPair &first = list.pairs[0], &second = list.pairs[1];
  EXPECT_EQ(std::tuple(first.Number, first.Deplacer, first.NbTemporisations, first.PassCountdown),
            std::tuple(1, "1", "03", 3));
  EXPECT_EQ(list.rows[0].source_style, (CellStyle{CellColour::kRed, true, false}));
  EXPECT_EQ(list.rows[0].interval_image, IntervalImage::kSpecificInterval);  // "03" is not "1"
  // Mirror_3 belonged to the line removed by hand.
  EXPECT_EQ(std::tuple(second.Source, second.Enable, second.Nouveau, second.NbTemporisations),
            std::tuple("/c", "yes", "0", "1"));
  EXPECT_EQ(list.rows[1].source_style, (CellStyle{CellColour::kGrey, false, true}));
  EXPECT_EQ(list.rows[1].interval_image, IntervalImage::kDefaultInterval);
}

TEST_F(FolderPairsTest, LinesAreReadSensiblyAndADamagedFieldWritesNothing) {
  EXPECT_TRUE(Load().pairs.empty());  // no file at all
  dir_.Write("Vorn.w", "");
  EXPECT_TRUE(Load().pairs.empty());
  dir_.Write("Vorn.w", "\r\n" + EncodeHexPath("/a") + " , " + EncodeHexPath("/b") + "\n" +
                           "   \r\n\"" + EncodeHexPath("/c") + "\"\r\n");
  PairList list = Load();
  EXPECT_FALSE(list.damaged_message.has_value());
  ASSERT_EQ(list.pairs.size(), 2u);
  EXPECT_EQ(list.pairs[0].Source + ">" + list.pairs[0].Target, "/a>/b");
  EXPECT_EQ(list.pairs[1].Source + ">" + list.pairs[1].Target, "/c>");

  const std::string damaged = Line("/a", "/b") + "\"43003A005C0\",\"\"\r\n";
  dir_.Write("Vorn.w", damaged);
  dir_.Write("Vorn.ini", "[Mirror_1]\nEnable=1\n");
  context_.language = kFrench;  // the message has no French form
  list = Load();
  EXPECT_EQ(list.damaged_message, "Invalid hexa string in the parameters file\r\n" + pairs_path_);
  EXPECT_EQ(dir_.Read("Vorn.w"), damaged);
  EXPECT_EQ(dir_.Read("Vorn.ini"), "[Mirror_1]\nEnable=1\n");
}

TEST_F(FolderPairsTest, MacintoshVolumesAreMarkedAndMismatchesWarned) {
  dir_.Make({"mac/", "pc/"});
  dir_.Write("Vorn.w", Line(dir_.Path("mac"), dir_.Path("pc")));
  context_.is_macintosh_volume = [&](const std::string& f) { return f == dir_.Path("mac"); };
  context_.language = kFrench;
  PairList list = Load();
  EXPECT_TRUE(list.rows[0].source_is_macintosh && list.MacWarningPending);
  EXPECT_EQ(list.rows[0].source_text, dir_.Path("mac") + "      ");
  EXPECT_EQ(list.mac_warning,
            "ATTENTION: Un dossier source appartient à un volume Macintosh\r\n"
            "mais le dossier cible corrrespondant n'appartient pas à un volume Macintosh");

  dir_.Write("Vorn.w", Line(dir_.Path("pc"), dir_.Path("mac")));
  context_.language = kEnglish;
  list = Load();
  EXPECT_EQ(list.mac_warning,
            "WARNING: A target folder belongs to a Macintosh volume\r\n"
            "but the corresponding source folder does not belong to a Macintosh volume");

  context_.nt = false;
  list = Load();
  EXPECT_FALSE(list.rows[0].target_is_macintosh || list.MacWarningPending);
}

TEST_F(FolderPairsTest, NestedPairsAndTargetsOverOwnFilesAreRefused) {
  dir_.Make({"all/", "all/incoming/", "data/", "outer/", "outer/home/", "logs/", "other/",
             "view->data"});
  const std::string home = dir_.Path("outer/home");
  const std::string logs = dir_.Path("logs");
  const struct {
    std::string source, target;  // relative to the test folder, unless absolute or empty
    PairDanger danger;
  } cases[] = {
      // How folders nest is the path identity tests' concern.
      {"all", "all", PairDanger::kSameFolder},
      {"all/incoming", "all", PairDanger::kSourceInsideTarget},
      {"data", "view/backup/deeper", PairDanger::kTargetInsideSource},  // not made yet
      {"data", "/", PairDanger::kTargetIsRoot},
      {"data", "outer/home", PairDanger::kTargetHoldsOwnFiles},
      {"data", "outer", PairDanger::kTargetHoldsOwnFiles},
      {"data", "logs", PairDanger::kTargetHoldsOwnFiles},
      {"outer/home", "other", PairDanger::kNone},  // copying Vorn's files harms nothing
      {"", "other", PairDanger::kNone},
      {"data", "", PairDanger::kNone},
  };
  const auto full = [this](const std::string& path) {
    return path.empty() || path.starts_with("/") ? path : dir_.Path(path);
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DangerOf(full(c.source), full(c.target), home, logs), c.danger)
        << c.source << " -> " << c.target;
  }

  // A load marks the refused pair, leaves the others alone and says why.
  dir_.Write("Vorn.w", Line(dir_.Path("all/incoming"), dir_.Path("all")) +
                           Line(dir_.Path("data"), dir_.Path("other")));
  context_.application_folder = home;
  context_.log_folder = logs;
  const PairList list = Load();
  ASSERT_EQ(list.pairs.size(), 2u);
  EXPECT_EQ(list.pairs[0].Danger, PairDanger::kSourceInsideTarget);
  EXPECT_EQ(list.rows[0].target_text, "??? " + dir_.Path("all"));
  EXPECT_EQ(list.rows[0].target_style, (CellStyle{CellColour::kRed, false, true}));
  EXPECT_EQ(list.rows[1].target_text, dir_.Path("other"));
  EXPECT_EQ(list.first_missing_pair, 0);  // refused is not missing: "-U" still runs the rest
  EXPECT_EQ(list.refusals,
            std::vector<std::string>{
                "Folder pair refused: the source folder lies inside the target folder\r\n" +
                dir_.Path("all/incoming") + " -> " + dir_.Path("all")});
}

// OK in a pair's settings: the keys in their order in one replacement, after
// those already in the section; a refused form changes nothing.
TEST_F(FolderPairsTest, PairSettingsAreWrittenInTheirOrderOnlyWhenAccepted) {
  dir_.Write("Vorn.ini", "[Mirror_2]\r\nEffacer=1\r\nKeepVersions=30\r\n");
  platform::FaultInjectingFileSystem counting(*fs_);
  IniFile ini(counting, dir_.Path("Vorn.ini"));
  FolderPair pair;
  pair.Number = 2;
  PairSettingsForm form = OpenPairSettings(pair, SystemFamily::kNt);
  form.newer_only = form.source_vide = form.specific_interval = true;
  for (const auto& [count, days] : {std::pair{"1", "30"}, {"64001", "30"}, {"6x", "30"},
                                    {"64000", "3651"}}) {
    form.interval_count = count;
    form.keep_versions = days;
    EXPECT_FALSE(SavePairSettings(ini, pair, form)) << count << " " << days;
  }
  EXPECT_EQ(pair.NbTemporisations, "1");  // untouched
  form.keep_versions = "30";
  ASSERT_TRUE(SavePairSettings(ini, pair, form));
  EXPECT_EQ(counting.Calls(platform::FsOperation::kReplaceFile), 1);
  EXPECT_EQ(pair.PassCountdown, 64000);
  EXPECT_EQ(dir_.Read("Vorn.ini"),
            "[Mirror_2]\r\nEffacer=0\r\nKeepVersions=30\r\nEnable=1\r\nNbTemporisations=64000\r\n"
            "Deplacer=0\r\nRenommer=0\r\nNouveau=1\r\nNoMilliseconds=0\r\nSourceVideAutorise=1\r\n"
            "Exclusions=\r\nIgnoreHourShift=0\r\nHardLinks=0\r\n");
}

// The pairs file holds each path as hex of its UTF-16 code units, or of its
// bytes in the 95 family. That every byte string survives an encode and a
// decode is the pairs fuzz target's property.
TEST(HexPathTest, PathsAndTheHexTheyAreStoredAs) {
  const struct {
    std::string path;
    PathFamily family;
    std::string hex;
  } cases[] = {
      {"C:\\", PathFamily::kWide, "43003A005C00"}, {"", PathFamily::kWide, ""},
      {"/é", PathFamily::kWide, "2F00E900"},
      {"\xF0\x9D\x84\x9E", PathFamily::kWide, "34D81EDD"},  // U+1D11E as a surrogate pair
      {"\xFF", PathFamily::kWide, "FFDC"},                  // not UTF-8: escaped
      {"C:\\", PathFamily::kAnsi, "433A5C"}, {"\xFF", PathFamily::kAnsi, "FF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeHexPath(c.path, c.family), c.hex);
    EXPECT_EQ(DecodeHexPath(c.hex, c.family), c.path) << c.hex;
  }
  // What no encoder writes: lower case is read, a broken text refused, and
  // unpaired surrogates from Windows survive as generalised UTF-8.
  const std::pair<const char*, std::optional<std::string>> decoded[] = {
      {"43003a005c00", "C:\\"},   {"43003A005C0", std::nullopt},  // odd length
      {"4300ZZ00", std::nullopt}, {"430041", std::nullopt},       // half a code unit
      {"43 00", std::nullopt},    {"00D8", "\xED\xA0\x80"},      {"05DC", "\xED\xB0\x85"}};
  for (const auto& [hex, path] : decoded) EXPECT_EQ(DecodeHexPath(hex), path) << hex;
  // Sequences near the edges of valid UTF-8 come back as they were.
  for (const std::string path : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                 "\xF0\x9F\x98\x80", "\xEF\xBF\xBF", "abc\xC3"}) {
    EXPECT_EQ(DecodeHexPath(EncodeHexPath(path)), path);
  }
}

}  // namespace
}  // namespace vorn
