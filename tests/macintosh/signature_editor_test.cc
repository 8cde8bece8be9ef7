// The editor's rules; the window tests cover the messages of each command.

#include "macintosh/signature_editor.h"

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class SignatureEditorTest : public ::testing::Test {
 protected:
  SignatureEditor Open(std::string_view file, int16_t language = kEnglish) {
    dir_.Write("Signatures.txt", file);
    SignatureEditor editor(language);
    editor.Open(*fs_, path_, dialogs_);
    return editor;
  }
  static std::vector<std::string> Keys(const SignatureEditor& editor) {
    std::vector<std::string> keys;
    for (const MacSignature& row : editor.rows()) keys.push_back(row.type_creator);
    return keys;
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  std::string path_ = dir_.Path("Signatures.txt");
  testing::ScriptedDialogs dialogs_;
};

TEST_F(SignatureEditorTest, OpeningListsCompleteRecordsInFileOrderAndTheFirstOfAKey) {
  SignatureEditor editor = Open(
      "\"XDOCXPR3\",\"qxd\",\"Quark\"\r\n\"NODESCRI\",\"x\",\"\"\r\n\"\",\"y\",\"No key\"\r\n"
      "\"8BPS8BIM\",\"\",\"Photoshop\"\r\n\"xdocxpr3\",\"q\",\"Again\"\r\n");
  EXPECT_EQ(Keys(editor), (std::vector<std::string>{"XDOCXPR3", "8BPS8BIM"}));
  EXPECT_EQ(editor.rows()[0].extension, "qxd");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].second, "Duplicate key in Signatures file: xdocxpr3");

  SignatureEditor missing(kFrench);
  missing.Open(*fs_, dir_.Path("missing.txt"), dialogs_);
  EXPECT_TRUE(missing.rows().empty());  // never the built-in records
  EXPECT_EQ(missing.Caption(), "Vorn - Signatures Macintosh (0)");
}

TEST_F(SignatureEditorTest, ChecksComeInOrderAndCountCharactersNotBytes) {
  SignatureEditor editor = Open("");
  const struct {
    MacSignature typed;
    const char* message;  // nothing: accepted
  } cases[] = {
      {{"W6BNMSW", "docx", ""}, "Type/Creator signature must be 8 characters"},
      {{"CRÉATRC", "", "x"}, "Type/Creator signature must be 8 characters"},  // 8 bytes
      {{"W6BNMSWDX", "doc", "Word"}, "Type/Creator signature must be 8 characters"},
      {{"W6BNMSWD", "a:bc", ""}, "Windows extension must be 3 characters or less"},
      {{"W6BNMSWD", "d|c", ""}, "Invalid character in Windows extension"},
      {{"CRÉAtëur", "été", "Accents are one character each"}, nullptr},
  };
  for (const auto& c : cases) {
    const SignatureOutcome outcome = editor.AddOrModify(c.typed);
    if (c.message != nullptr) {
      EXPECT_EQ(outcome.message, c.message) << c.typed.type_creator;
      EXPECT_TRUE(outcome.beep());
      EXPECT_EQ(ToneColour(outcome.tone), (StatusColour{255, 0, 0}));
    } else {
      EXPECT_EQ(ToneColour(outcome.tone), (StatusColour{255, 0, 255})) << outcome.message;
      EXPECT_FALSE(outcome.beep());
    }
  }
  EXPECT_EQ(Keys(editor), std::vector<std::string>{"CRÉAtëur"});
}

TEST_F(SignatureEditorTest, TheKeyIgnoresCaseButTheUnchangedTestDoesNot) {
  SignatureEditor editor = Open("\"TEXTttxt\",\"txt\",\"Text\"\r\n", kFrench);
  SignatureOutcome outcome = editor.AddOrModify({"TEXTttxt", "txt", "Text"});
  EXPECT_EQ(outcome.message, "Signature inchangée: TEXTttxt");
  EXPECT_FALSE(editor.modified());
  outcome = editor.AddOrModify({"textTTXT", "txt", "Text"});
  EXPECT_EQ(outcome.message, "Signature modifié: textTTXT");
  EXPECT_EQ(outcome.row, 0u);
  EXPECT_EQ(Keys(editor), std::vector<std::string>{"textTTXT"});
  EXPECT_EQ(editor.Caption(), "Vorn - Signatures Macintosh (1)");
  EXPECT_EQ(editor.DiscardQuestion(),
            "Liste modifiée\r\nQuitter sans sauvegarder les modifications");
}

TEST_F(SignatureEditorTest, SortingIgnoresCaseAndTheSelectedRowFollowsItsRecord) {
  SignatureEditor editor = Open(
      "\"BBBBBBBB\",\"a\",\"zeta\"\r\n\"aaaaaaaa\",\"c\",\"Beta\"\r\n"
      "\"CCCCCCCC\",\"B\",\"alpha\"\r\n");
  EXPECT_EQ(editor.SortBy(0, 1), 2u);
  EXPECT_EQ(Keys(editor), (std::vector<std::string>{"CCCCCCCC", "BBBBBBBB", "aaaaaaaa"}));
  EXPECT_EQ(editor.SortBy(1, std::nullopt), std::nullopt);
  EXPECT_EQ(Keys(editor), (std::vector<std::string>{"BBBBBBBB", "CCCCCCCC", "aaaaaaaa"}));
  editor.SortBy(2, std::nullopt);
  EXPECT_EQ(Keys(editor), (std::vector<std::string>{"BBBBBBBB", "aaaaaaaa", "CCCCCCCC"}));
  EXPECT_FALSE(editor.modified());
}

TEST_F(SignatureEditorTest, SavingWritesOnlyChangesAndAFailureKeepsThem) {
  const std::string file = "\"TEXTttxt\",\"txt\",\"Text\"\r\n\"AAAAAAAA\",\"a\",\"A\"\r\n";
  SignatureEditor editor = Open(file, kFrench);
  SignatureTable table;
  LoadDefaultSignatures(table);
  EXPECT_EQ(editor.Save(*fs_, path_, table, dialogs_), std::nullopt);
  EXPECT_EQ(dir_.Read("Signatures.txt"), file);  // unmodified: not even sorted
  EXPECT_EQ(table.records().size(), 3u);

  editor.Remove(1);
  const std::optional<std::string> failure =
      editor.Save(*fs_, dir_.Path("no folder/Signatures.txt"), table, dialogs_);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->rfind("Impossible d'écrire le fichier des Signatures:\r\n", 0), 0u);
  EXPECT_TRUE(editor.modified());
  EXPECT_EQ(table.records().size(), 3u);
  EXPECT_EQ(editor.Save(*fs_, path_, table, dialogs_), std::nullopt);
  EXPECT_EQ(dir_.Read("Signatures.txt"), "\"TEXTttxt\",\"txt\",\"Text\"\r\n");
  EXPECT_EQ(table.ExtensionForSignature("textTTXT"), "txt");
  EXPECT_FALSE(editor.modified());
}

}  // namespace
}  // namespace vorn
