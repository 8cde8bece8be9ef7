// Adding, changing and removing pairs, read back from the files on disk, and
// the rules behind the editing, the settings dialogs, the lower pane and the
// hover summary; then the folder listings beside the pairs: order, entries,
// sizes, tooltips.

#include "ui/pair_commands.h"

#include <gtest/gtest.h>

#include "base/list_order.h"
#include "config/hex_path.h"
#include "config/pair_settings.h"
#include "platform/fault_injecting_file_system.h"
#include "support/fakes.h"
#include "support/test_folder.h"
#include "ui/folder_listing.h"
#include "ui/pair_editing.h"
#include "ui/pair_summary.h"
#include "ui/panes.h"

namespace vorn {

void PrintTo(const ListingEntry& entry, std::ostream* out) {
  *out << "{\"" << entry.text << "\", " << entry.size << "}";
}

namespace {

using testing::TestFolder;

class PairCommandsTest : public ::testing::Test {
 protected:
  PairCommandsTest() {
    dir_.Make({"a/", "b/", "c/"});
    Load();
  }

  // Loads the application files as start-up does.
  void Load() {
    app_.system.nt = true;  // as on every Linux system
    app_.paths = MakeAppPaths(dir_.path());
    app_.ini = std::make_unique<IniFile>(*fs_, app_.paths.configuration_file);
    app_.settings = LoadSettings(*app_.ini, *fs_, dir_.path());
    ReloadPairs(*fs_, app_);
  }

  // One line of the pairs file, and the whole file (none reads as empty).
  static std::string Line(const std::string& source, const std::string& target) {
    return "\"" + EncodeHexPath(source) + "\",\"" + EncodeHexPath(target) + "\"\r\n";
  }
  std::string OnDisk() const { return dir_.Exists("Vorn.w") ? dir_.Read("Vorn.w") : ""; }
  std::string Key(const char* section, const char* key) { return app_.ini->Read(section, key); }

  // The edit, a path typed or picked first when one is given.
  EditOutcome Edit(PathKind kind, EditAction action, GridSelection selection = {},
                   std::optional<std::string> path = std::nullopt) {
    if (path) (IsBrowse(kind) ? dialogs_.folders : dialogs_.typed).push_back(*path);
    return EditPair(*fs_, app_, dialogs_, kind, action, selection);
  }
  bool Add(const std::string& path) {
    return Edit(PathKind::kSourceType, EditAction::kAdd, {}, path).changed;
  }
  static constexpr GridSelection kFirst{true, 0, 0};

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  testing::ScriptedDialogs dialogs_;
  Application app_;
};

// Typed additions opening no settings are checked through the window.
TEST_F(PairCommandsTest, AddingBySourceTakesTheDefaultTargetAndOpensTheSettings) {
  app_.ini->Write("Configuration", "PrefixeCibleDefaut", "/mnt/copy");
  app_.ini->Write("Configuration", "Effacement", "1");
  Load();
  const EditOutcome outcome =
      Edit(PathKind::kSourceBrowse, EditAction::kAdd, {}, dir_.Path("a") + "/");
  EXPECT_EQ(dialogs_.prompts, std::vector<std::string>{"ADD: select a SOURCE folder"});
  ASSERT_EQ(outcome.settings_row, 0);
  EXPECT_EQ(OnDisk(), Line(dir_.Path("a"), "/mnt/copy" + dir_.Path("a")));
  // Enable has its default only from the next load.
  EXPECT_EQ(Key("Mirror_1", "Effacer") + "|" + Key("Mirror_1", "Enable"), "1|");
  EXPECT_EQ(app_.pairs.rows[0].target_text, "??? /mnt/copy" + dir_.Path("a"));
  // The root stays a root, and its default target lies inside it.
  EXPECT_FALSE(Edit(PathKind::kSourceBrowse, EditAction::kAdd, {}, "/").changed);
  EXPECT_EQ(dialogs_.messages.back().second,
            "Folder pair refused: the target folder lies inside the source folder\r\n"
            "/ -> /mnt/copy/");
  EXPECT_EQ(app_.pairs.pairs.size(), 1u);
}

// A modification starts from the shown text, and a new source forgets its volume.
TEST_F(PairCommandsTest, NothingChangesWithoutAPathOrRowAndModifyingStartsFromTheShownText) {
  Edit(PathKind::kSourceBrowse, EditAction::kModify, kFirst);  // empty grid
  ASSERT_TRUE(Add(dir_.Path("a")));
  EXPECT_EQ(app_.pairs.rows[0].target_text, "???");  // no prefix: the target is left to choose
  const std::string before = OnDisk();
  EXPECT_EQ(before, Line(dir_.Path("a"), ""));
  EXPECT_FALSE(Add(""));
  EXPECT_FALSE(Edit(PathKind::kSourceBrowse, EditAction::kAdd).changed);  // cancelled
  EXPECT_FALSE(Edit(PathKind::kTargetType, EditAction::kModify, kFirst).changed);
  EXPECT_FALSE(Edit(PathKind::kTargetType, EditAction::kModify).changed);  // nothing highlighted
  EXPECT_EQ(dir_.Read("Vorn.w"), before);
  EXPECT_EQ(dialogs_.messages,
            (std::vector<std::pair<MessageIcon, std::string>>{
                {MessageIcon::kInformation, "Select a SOURCE folder to modify"},
                {MessageIcon::kInformation, "Select a TARGET folder to modify"}}));
  EXPECT_EQ(dialogs_.prompts.size(), 4u);  // a highlighted row, or an addition, asks for a path

  app_.ini->Write("Mirror_1", "SourceVolume", "ext4:1234");
  Load();
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, kFirst, "/nowhere/x").changed);
  EXPECT_EQ(dialogs_.defaults.back(), "???");
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, kFirst, dir_.Path("b")).changed);
  EXPECT_EQ(dialogs_.defaults.back(), "??? /nowhere/x");
  EXPECT_EQ(dialogs_.prompts.back(), "MODIFY: Select a TARGET folder");
  EXPECT_EQ(Key("Mirror_1", "SourceVolume"), "ext4:1234");
  ASSERT_TRUE(Edit(PathKind::kSourceBrowse, EditAction::kModify, kFirst, dir_.Path("c")).changed);
  EXPECT_EQ(OnDisk(), Line(dir_.Path("c"), dir_.Path("b")));
  EXPECT_EQ(Key("Mirror_1", "SourceVolume") + app_.pairs.pairs[0].SourceVolume, "");
}

TEST_F(PairCommandsTest, WarningsNeverBlockTheChange) {
  app_.system.windows_folder = "/OPT/WIN";
  Edit(PathKind::kSourceBrowse, EditAction::kAdd, {}, "//server/share/data");
  Add("/opt/win/system");
  Add("//server/share/typed");  // typed: no open-file warning
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_EQ(dialogs_.messages[0].first, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs_.messages[0].second.substr(0, 15), "Source folders:");
  EXPECT_EQ(dialogs_.messages[1].second,
            "WARNING: including a Windows sub-folder can damage your system");
  EXPECT_EQ(app_.pairs.pairs.size(), 3u);
}

// Which pairs are dangerous is the config tests' concern; here, that either
// end of an edit is checked and nothing is written.
TEST_F(PairCommandsTest, EditsThatLeaveADangerousPairAreRefusedAndChangeNothing) {
  dir_.MakeFolder("a/in");
  ASSERT_TRUE(Add(dir_.Path("a")));
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, kFirst, dir_.Path("b")).changed);
  const std::string before = dir_.Read("Vorn.w");
  const std::tuple<PathKind, std::string, std::string> cases[] = {  // the message in French
      {PathKind::kTargetType, dir_.Path("a/in/new"),
       "Couple de dossiers refusé : le dossier cible est dans le dossier source"},
      {PathKind::kSourceType, dir_.Path("b/x"),
       "Couple de dossiers refusé : le dossier source est dans le dossier cible"},
      {PathKind::kTargetType, dir_.Path("c"),
       "Couple de dossiers refusé : le dossier cible contient les paramètres ou les journaux du "
       "programme"}};
  app_.settings.Langue = kFrench;
  app_.settings.PathLogs = dir_.Path("c/logs");
  for (const auto& [kind, path, message] : cases) {
    EXPECT_FALSE(Edit(kind, EditAction::kModify, kFirst, path).changed) << path;
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().first, MessageIcon::kExclamation);
    EXPECT_EQ(dialogs_.messages.back().second.substr(0, message.size()), message) << path;
  }
  EXPECT_EQ(dir_.Read("Vorn.w"), before);
  EXPECT_EQ(app_.pairs.pairs[0].Target, dir_.Path("b"));
}

// Ranges over several rows, and the answer No, are removed through the
// window's tests. The former third pair's settings move to Mirror_2, texts
// unchanged, and the old section is left behind.
TEST_F(PairCommandsTest, RemovingRenumbersTheOthersWithTheirSettings) {
  EXPECT_FALSE(RemoveSelectedPairs(*fs_, app_, dialogs_, kFirst));
  EXPECT_EQ(dialogs_.messages.back().second, "Nothing to remove");
  for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(Add(dir_.Path(name)));
  app_.ini->Write("Mirror_3", "Nouveau", "1");
  app_.ini->Write("Mirror_3", "Enable", "yes");
  Load();
  dialogs_.answers = {true};
  ASSERT_TRUE(RemoveSelectedPairs(*fs_, app_, dialogs_, GridSelection{true, 1, 1}));
  EXPECT_EQ(dialogs_.questions, std::vector<std::string>{"Remove the selected folders"});
  EXPECT_EQ(OnDisk(), Line(dir_.Path("a"), "") + Line(dir_.Path("c"), ""));
  EXPECT_EQ(std::tuple(Key("Mirror_2", "Nouveau"), Key("Mirror_2", "Enable"),
                       app_.pairs.pairs[1].Nouveau, Key("Mirror_3", "Nouveau")),
            std::tuple("1", "yes", "1", "1"));
}

// Local paths go under the drive prefix, network paths under the network one.
TEST(PairEditingTest, DefaultTargetsPromptsAndTheWindowsFolder) {
  const struct {
    const char *source, *drive_prefix, *unc_prefix, *target;
  } cases[] = {
      {"/data/x", "/mnt/backup", "", "/mnt/backup/data/x"},
      {"/data/x", "/mnt/backup/", "", "/mnt/backup/data/x"},
      {"/", "/mnt/backup", "", "/mnt/backup/"}, {"relative/x", "/mnt", "", ""},
      {"D:\\data\\x", "E:", "", "E:\\data\\x"},  // the drive-letter rule
      {"/data/x", "", "//bak/b", ""}, {"/srv/share", "", "//bak/b", ""},  // one slash: local
      {"//srv/share/data/x", "/mnt", "//bak/b", "//bak/b/data/x"},
      {"//srv/share", "", "//bak/b", "//bak/b"}, {"//srv", "", "//bak/b", ""},
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

// Moving takes removal and the update rule along; only removal may empty a target.
TEST(PairSettingsTest, OpeningReflectsThePairAndItsOddValuesAndMovingTakesOptionsAlong) {
  FolderPair pair;
  for (const std::string odd : {"64001", "abc", "1"}) {
    pair.NbTemporisations = odd;
    const PairSettingsForm form = OpenPairSettings(pair, SystemFamily::kNt);
    EXPECT_EQ(std::tuple(form.specific_interval, form.interval_count), std::tuple(false, "2"))
        << odd;
  }
  pair.NbTemporisations = "64000";
  pair.Deplacer = pair.Renommer = pair.Effacer = "1";
  const PairSettingsForm opened = OpenPairSettings(pair, SystemFamily::kNt);
  EXPECT_EQ(std::tuple(opened.specific_interval, opened.interval_count), std::tuple(true, "64000"));
  EXPECT_TRUE(opened.rename && opened.rename_allowed);
  EXPECT_FALSE(opened.remove_allowed || opened.update_rule_allowed);
  EXPECT_EQ(IntervalCountError("2", kEnglish, IntervalErrorPlace::kMessageBox), "");
  EXPECT_EQ(IntervalCountError("abc", kPortuguese, IntervalErrorPlace::kMessageBox),
            "Valeur incorrecte");
  EXPECT_EQ(IntervalCountError("12abc", kEnglish, IntervalErrorPlace::kLabel), "Invalid value");
  EXPECT_EQ(IntervalSpelledOut(8, 10, kFrench), "soit: 0 h 1 min 20 sec");
  for (const SystemFamily family : {SystemFamily::k95, SystemFamily::kNt}) {
    const bool nt = family == SystemFamily::kNt;
    SCOPED_TRACE(nt);
    PairSettingsForm form = OpenPairSettings(FolderPair{}, family);
    EXPECT_FALSE(form.source_vide_allowed);
    SetRemove(form, true);
    EXPECT_TRUE(form.source_vide_allowed);
    form.newer_only = form.rename = true;
    SetMove(form, true, family);
    EXPECT_EQ(std::tuple(form.rename_allowed, form.rename), std::tuple(nt, nt));  // off NT none
    EXPECT_FALSE(form.remove || form.remove_allowed || form.source_vide_allowed);
    EXPECT_FALSE(form.newer_only || form.update_rule_allowed);
    SetMove(form, false, family);
    EXPECT_FALSE(form.rename || form.rename_allowed || form.remove || form.source_vide_allowed);
    EXPECT_TRUE(form.remove_allowed && form.update_rule_allowed);
  }
}

// The file lists win over the locked list, and the guide stands in for the
// others while there is no pair. How F2 and F3 switch them is the window's.
TEST(PanesTest, ThePaneFollowsTheListSettingsAndWhetherThereArePairs) {
  const std::tuple<bool, bool, bool, LowerPane> panes[] = {
      {false, false, true, LowerPane::kLegend},  {false, true, true, LowerPane::kLocked},
      {true, true, true, LowerPane::kFileLists}, {true, false, false, LowerPane::kFileLists},
      {false, true, false, LowerPane::kGuide},   {false, false, false, LowerPane::kGuide}};
  for (const auto& [files, locked, has_pairs, pane] : panes) {
    MirrorSettings settings;
    settings.AfficherFichiers = files;
    settings.AfficherLocked = locked;
    EXPECT_EQ(PaneFor(settings, has_pairs), pane) << files << locked << has_pairs;
  }
}

// The English summary of a removing pair is the window's hover test's.
TEST(PairSummaryTest, TheTextNamesTheIntervalAndThePolicyInTheLanguage) {
  const std::pair<int32_t, const char*> intervals[] = {
      {3605, "1 h 0 min 5 s"}, {59, "59 s"}, {0, "0 s"}};
  for (const auto& [seconds, text] : intervals) EXPECT_EQ(IntervalText(seconds), text);
  PairRow row;
  row.source_text = "/data/src      ";  // a Macintosh mark is trimmed away
  row.target_text = "??? /backup";
  FolderPair moving, keeping;
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
    SystemFamily family;
    bool greyed;
    std::string text;
  } cases[] = {
      {moving, 3600, kFrench, SystemFamily::kNt, true,
       " [Miroir inactif]\r\nT = 1 h 0 min 0 s; déplacer les fichiers et renommer les fichiers "
       "Macintosh"},
      // Portuguese: the English mark with the French policy; no rename off NT.
      {moving, 3600, kPortuguese, SystemFamily::k95, true,
       " [Mirror disabled]\r\nT = 1 h 0 min 0 s; déplacer les fichiers"},
      {keeping, 5, kEnglish, SystemFamily::kNt, false,
       "\r\nT = 5 s; keep all target files; update if source file newer than target file"},
  };
  for (const auto& c : cases) {
    const PairSummary summary = SummarizePair(c.pair, row, c.temporisation, c.language, c.family);
    EXPECT_EQ(summary.text, "/data/src -> ??? /backup" + c.text);
    EXPECT_EQ(summary.greyed, c.greyed) << c.text;
  }
}

const platform::NumberFormat kEnglishFormat{",", "."};

TEST(FormatFileSizeTest, UnitsSwitchAtTheirThresholds) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0 bytes"}, {1000, "1,000 bytes"}, {1023, "1,023 bytes"},
      {1024, "1.00KB (1,024 bytes)"}, {1536, "1.50KB (1,536 bytes)"},
      {10239, "10.00KB (10,239 bytes)"},  // still 9 KiB
      {10240, "10.0KB (10,240 bytes)"}, {102400, "100KB (102,400 bytes)"},
      {1023999, "1000KB (1,023,999 bytes)"},
      {1024000, "0.98MB (1,024,000 bytes)"},  // 1000 KiB, not 1 MiB
      {1048576, "1.00MB (1,048,576 bytes)"}, {10240000, "9.8MB (10,240,000 bytes)"},
      {102400000, "98MB (102,400,000 bytes)"}, {1048576000, "0.98GB (1,048,576,000 bytes)"},
      {10239999999, "9.54GB (10,239,999,999 bytes)"}, {10240000000, " (10,240,000,000 bytes)"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatFileSize(bytes, kEnglishFormat), text);
  EXPECT_EQ(FormatFileSize(1536, {"\u202f", ","}), "1,50KB (1\u202f536 bytes)");
  EXPECT_EQ(FormatFileSize(1536, platform::NumberFormat{"", "."}), "1.50KB (1536 bytes)");
}

// Accented letters sort with their base letter, after it when all else is
// equal; a byte that is not UTF-8 still has a place.
TEST(ListOrderTest, PunctuationThenDigitsThenLettersWhateverTheCase) {
  const std::pair<const char*, const char*> ordered[] = {
      {"[Zeta]", "1.txt"}, {"[.]", "[Sub]"}, {"9.txt", "a.txt"}, {"apple", "Banana"},
      {"Apple", "banana"}, {"ab", "abc"},    {"eb", "école"},    {"école", "ef"},
      {"ecole", "École"},  {"a", "\xff"}};
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(ListOrderLess(first, second)) << first << " < " << second;
    EXPECT_FALSE(ListOrderLess(second, first)) << second << " < " << first;
  }
  EXPECT_FALSE(ListOrderLess("README", "readme") || ListOrderLess("readme", "README"));
}

// What cannot be read lists nothing. English tooltips and counts are checked
// through the window.
TEST(ListFolderContentsTest, OneLevelInListOrderWithTheFolderItselfAndLabelsInTheLanguage) {
  TestFolder dir;
  dir.Make({"data/", "data/Sub/", "data/Sub/deep.txt=x", "data/a.txt=0123456789",
            "data/.hidden=h"});
  dir.Write("data/b.bin", std::string(2048, 'b'));
  const auto real = platform::MakePosixFileSystem();
  platform::FaultInjectingFileSystem fs(*real);
  const std::vector<ListingEntry> entries = ListFolderContents(fs, dir.Path("data"));
  EXPECT_EQ(entries, (std::vector<ListingEntry>{{".hidden", 1}, {"[.]", -1}, {"[Sub]", -1},
                                                {"a.txt", 10}, {"b.bin", 2048}}));
  EXPECT_EQ(CountLabelText(entries.size(), "  " + dir.Path("data") + " ", kEnglish),
            "5 files/folders in " + dir.Path("data"));
  EXPECT_EQ(ListFolderContents(fs, dir.Path("data/Sub")),
            (std::vector<ListingEntry>{{"[.]", -1}, {"deep.txt", 1}}));
  fs.FailFor(platform::FsOperation::kReadFolder, dir.Path("data"), EACCES);
  for (const std::string& unread :
       {dir.Path("data"), dir.Path("missing"), dir.Path("data/a.txt"), std::string()}) {
    EXPECT_TRUE(ListFolderContents(fs, unread).empty()) << unread;
  }
  EXPECT_EQ(CountLabelText(0, dir.Path("missing"), kFrench),
            "0 fichiers/dossiers dans " + dir.Path("missing"));
  EXPECT_EQ(CountLabelText(12, "D:\\Data", kPortuguese), "12 ficheiros/pastas na D:\\Data");
  EXPECT_EQ(ListingTooltip({"[Images]", -1}, kFrench, kEnglishFormat), "dossier [Images]");
  EXPECT_EQ(ListingTooltip({"[Images]", -1}, kPortuguese, kEnglishFormat), "pasta [Images]");
}

}  // namespace
}  // namespace vorn
