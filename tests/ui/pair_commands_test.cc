// Adding, changing and removing pairs, read back from the files on disk.

#include "ui/pair_commands.h"

#include <gtest/gtest.h>

#include "config/hex_path.h"
#include "base/text.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::ScriptedDialogs;
using testing::TestFolder;

class PairCommandsTest : public ::testing::Test {
 protected:
  PairCommandsTest() {
    for (const char* folder : {"a", "b", "c"}) dir_.MakeFolder(folder);
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

  EditOutcome Edit(PathKind kind, EditAction action, GridSelection selection = {}) {
    return EditPair(*fs_, app_, dialogs_, kind, action, selection);
  }

  void AddTyped(const std::string& path) {
    dialogs_.typed.push_back(path);
    ASSERT_TRUE(Edit(PathKind::kSourceType, EditAction::kAdd).changed);
  }

  static GridSelection Rows(int current, int selection_end) {
    return GridSelection{true, current, selection_end};
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  ScriptedDialogs dialogs_;
  Application app_;
};

// Typed additions opening no settings are checked through the window.
TEST_F(PairCommandsTest, AddingBySourceTakesTheDefaultTargetAndOpensTheSettings) {
  app_.ini->Write("Configuration", "PrefixeCibleDefaut", "/mnt/copy");
  app_.ini->Write("Configuration", "Effacement", "1");
  Load();
  dialogs_.folders.push_back(dir_.Path("a") + "/");
  const EditOutcome outcome = Edit(PathKind::kSourceBrowse, EditAction::kAdd);
  EXPECT_EQ(dialogs_.prompts, std::vector<std::string>{"ADD: select a SOURCE folder"});
  ASSERT_EQ(outcome.settings_row, 0);
  EXPECT_EQ(OnDisk(), Line(dir_.Path("a"), "/mnt/copy" + dir_.Path("a")));
  EXPECT_EQ(app_.ini->Read("Mirror_1", "Effacer"), "1");
  EXPECT_EQ(app_.ini->Read("Mirror_1", "Enable"), "");  // the default comes at the next load
  EXPECT_EQ(app_.pairs.pairs[0].Enable, "1");
  EXPECT_EQ(app_.pairs.rows[0].target_text, "??? /mnt/copy" + dir_.Path("a"));
  // The root stays a root, and its default target lies inside it.
  dialogs_.folders.push_back("/");
  EXPECT_FALSE(Edit(PathKind::kSourceBrowse, EditAction::kAdd).changed);
  EXPECT_EQ(dialogs_.messages.back().second,
            "Folder pair refused: the target folder lies inside the source folder\r\n"
            "/ -> /mnt/copy/");
  EXPECT_EQ(app_.pairs.pairs.size(), 1u);
}

TEST_F(PairCommandsTest, NothingChangesWithoutAPathOrAHighlightedRow) {
  Edit(PathKind::kSourceBrowse, EditAction::kModify, Rows(0, 0));  // empty grid
  AddTyped(dir_.Path("a"));
  EXPECT_EQ(app_.pairs.rows[0].target_text, "???");  // no prefix: the target is left to choose
  const std::string before = OnDisk();
  EXPECT_EQ(before, Line(dir_.Path("a"), ""));
  dialogs_.typed.push_back("");
  EXPECT_FALSE(Edit(PathKind::kSourceType, EditAction::kAdd).changed);
  EXPECT_FALSE(Edit(PathKind::kSourceBrowse, EditAction::kAdd).changed);  // cancelled
  EXPECT_FALSE(Edit(PathKind::kTargetType, EditAction::kModify, Rows(0, 0)).changed);
  EXPECT_FALSE(Edit(PathKind::kTargetType, EditAction::kModify).changed);  // nothing highlighted
  EXPECT_EQ(dir_.Read("Vorn.w"), before);
  EXPECT_EQ(dialogs_.messages,
            (std::vector<std::pair<MessageIcon, std::string>>{
                {MessageIcon::kInformation, "Select a SOURCE folder to modify"},
                {MessageIcon::kInformation, "Select a TARGET folder to modify"}}));
  EXPECT_EQ(dialogs_.prompts.size(), 4u);  // a highlighted row, or an addition, asks for a path
}

TEST_F(PairCommandsTest, ModifyingStartsFromTheShownTextAndANewSourceForgetsItsVolume) {
  AddTyped(dir_.Path("a"));
  app_.ini->Write("Mirror_1", "SourceVolume", "ext4:1234");
  Load();
  dialogs_.typed.push_back("/nowhere/x");
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, Rows(0, 0)).changed);
  EXPECT_EQ(dialogs_.defaults.back(), "???");
  dialogs_.typed.push_back(dir_.Path("b"));
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, Rows(0, 0)).changed);
  EXPECT_EQ(dialogs_.defaults.back(), "??? /nowhere/x");
  EXPECT_EQ(dialogs_.prompts.back(), "MODIFY: Select a TARGET folder");
  EXPECT_EQ(app_.ini->Read("Mirror_1", "SourceVolume"), "ext4:1234");
  dialogs_.folders.push_back(dir_.Path("c"));
  ASSERT_TRUE(Edit(PathKind::kSourceBrowse, EditAction::kModify, Rows(0, 0)).changed);
  EXPECT_EQ(OnDisk(), Line(dir_.Path("c"), dir_.Path("b")));
  EXPECT_EQ(app_.ini->Read("Mirror_1", "SourceVolume"), "");
  EXPECT_EQ(app_.pairs.pairs[0].SourceVolume, "");
}

TEST_F(PairCommandsTest, WarningsNeverBlockTheChange) {
  app_.system.windows_folder = "/OPT/WIN";
  dialogs_.folders.push_back("//server/share/data");
  Edit(PathKind::kSourceBrowse, EditAction::kAdd);
  dialogs_.typed.push_back("/opt/win/system");
  Edit(PathKind::kSourceType, EditAction::kAdd);
  dialogs_.typed.push_back("//server/share/typed");  // typed: no open-file warning
  Edit(PathKind::kSourceType, EditAction::kAdd);
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_EQ(dialogs_.messages[0].first, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs_.messages[0].second.substr(0, 15), "Source folders:");
  EXPECT_EQ(dialogs_.messages[1].second,
            "WARNING: including a Windows sub-folder can damage your system");
  EXPECT_EQ(app_.pairs.pairs.size(), 3u);
}

TEST_F(PairCommandsTest, EditsThatLeaveADangerousPairAreRefusedAndChangeNothing) {
  dir_.MakeFolder("a/in");
  AddTyped(dir_.Path("a"));
  dialogs_.typed.push_back(dir_.Path("b"));
  ASSERT_TRUE(Edit(PathKind::kTargetType, EditAction::kModify, Rows(0, 0)).changed);
  const std::string before = dir_.Read("Vorn.w");
  // Which pairs are dangerous is the config tests' concern; here, that either
  // end of an edit is checked and nothing is written.
  const struct {
    PathKind kind;
    std::string path;
    std::string message;  // in French, the language set below
  } cases[] = {
      {PathKind::kTargetType, dir_.Path("a/in/new"),
       "Couple de dossiers refusé : le dossier cible est dans le dossier source"},
      {PathKind::kSourceType, dir_.Path("b/x"),
       "Couple de dossiers refusé : le dossier source est dans le dossier cible"},
      {PathKind::kTargetType, dir_.Path("c"),
       "Couple de dossiers refusé : le dossier cible contient les paramètres ou les journaux du "
       "programme"},
  };
  app_.settings.Langue = kFrench;
  app_.settings.PathLogs = dir_.Path("c/logs");
  for (const auto& c : cases) {
    dialogs_.typed.push_back(c.path);
    EXPECT_FALSE(Edit(c.kind, EditAction::kModify, Rows(0, 0)).changed) << c.path;
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().first, MessageIcon::kExclamation);
    EXPECT_EQ(dialogs_.messages.back().second.substr(0, c.message.size()), c.message) << c.path;
  }
  EXPECT_EQ(dir_.Read("Vorn.w"), before);
  EXPECT_EQ(app_.pairs.pairs[0].Target, dir_.Path("b"));
}

// Ranges over several rows, and the answer No, are removed through the
// window's tests.
TEST_F(PairCommandsTest, RemovingRenumbersTheOthersWithTheirSettings) {
  EXPECT_FALSE(RemoveSelectedPairs(*fs_, app_, dialogs_, Rows(0, 0)));
  EXPECT_EQ(dialogs_.messages.back().second, "Nothing to remove");
  for (const char* name : {"a", "b", "c"}) AddTyped(dir_.Path(name));
  app_.ini->Write("Mirror_3", "Nouveau", "1");
  app_.ini->Write("Mirror_3", "Enable", "yes");
  Load();
  dialogs_.answers = {true};
  ASSERT_TRUE(RemoveSelectedPairs(*fs_, app_, dialogs_, Rows(1, 1)));
  EXPECT_EQ(dialogs_.questions, std::vector<std::string>{"Remove the selected folders"});
  EXPECT_EQ(OnDisk(), Line(dir_.Path("a"), "") + Line(dir_.Path("c"), ""));
  // The former third pair's settings move to Mirror_2, texts unchanged.
  EXPECT_EQ(app_.ini->Read("Mirror_2", "Nouveau"), "1");
  EXPECT_EQ(app_.ini->Read("Mirror_2", "Enable"), "yes");
  EXPECT_EQ(app_.pairs.pairs[1].Nouveau, "1");
  EXPECT_EQ(app_.ini->Read("Mirror_3", "Nouveau"), "1");  // left behind, not deleted
}

}  // namespace
}  // namespace vorn
