// The Signatures file: how it is read and written, and the editor's rules
// (the window tests cover the messages of each command).

#include "macintosh/signatures.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/test_folder.h"
#include "ui/signature_editor.h"

namespace vorn {
namespace {

std::vector<std::string> Keys(const std::vector<MacSignature>& records) {
  std::vector<std::string> keys;
  for (const MacSignature& r : records) keys.push_back(r.type_creator);
  return keys;
}

class SignaturesTest : public ::testing::Test {
 protected:
  SignatureEditor Open(std::string_view file, Language language = kEnglish) {
    dir_.Write("Signatures.txt", file);
    SignatureEditor editor(language);
    editor.Open(*fs_, path_, dialogs_);
    return editor;
  }

  testing::TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  std::string path_ = dir_.Path("Signatures.txt");
  SignatureTable table_;
  testing::ScriptedDialogs dialogs_;
};

// Fields run across lines three at a time; the built-in records stand in for
// a missing or damaged file, never for an empty one.
TEST_F(SignaturesTest, TheFileIsReadRecordByRecord) {
  const std::vector<MacSignature> built_in = [] {
    SignatureTable table;
    LoadDefaultSignatures(table);
    return table.records();
  }();
  const struct {
    std::optional<std::string> file;  // none: missing
    Language language;
    std::vector<MacSignature> records;
    int record_count;
    std::vector<std::pair<MessageIcon, std::string>> messages;
  } cases[] = {
      {std::nullopt, kEnglish, built_in, 0, {}},
      {"", kEnglish, {}, 0, {}},
      {"\"TEXTttxt\",\"txt\",\"Text, plain\"\r\n  8BPS8BIM , psd , Photoshop image  \r\n"
       "\"PDF CARO\",\"\",\"Acrobat\" ignored\r\n",
       kEnglish,
       {{"TEXTttxt", "txt", "Text, plain"}, {"8BPS8BIM", "psd", "Photoshop image"},
        {"PDF CARO", "", "Acrobat"}},
       3, {}},
      // An empty line is one empty field; records without a type or a
      // description are skipped.
      {"\"AAAAAAAA\",\"aaa\"\r\n\"first\"\r\n\r\n\"x\",\"no type\"\r\n\"BBBBBBBB\",\"bbb\",\"\"\r\n",
       kEnglish, {{"AAAAAAAA", "aaa", "first"}}, 1, {}},
      {"\"W6BNMSWD\",\"doc\",\"Word\"\r\n\"w6bnmswd\",\"rtf\",\"Again\"\r\n", kFrench,
       {{"W6BNMSWD", "doc", "Word"}}, 1,
       {{MessageIcon::kExclamation, "Doublon dans le fichier des Signatures: w6bnmswd"}}},
      {"\"AAAAAAAA\",\"a\",\"A\"\r\n\"BBBBBBBB\",\"b\",\"B\"\r\n\"CCCCCCCC\",\"c\",\"C\"\r\n"
       "\"DDDDDDDD\",\"d\"\r\n",
       kPortuguese, built_in, 3,
       {{MessageIcon::kCritical, "Corrupted Signatures file:\r\n" + path_ + "\r\nLine:3"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.value_or("<missing>"));
    ::unlink(path_.c_str());
    if (c.file) dir_.Write("Signatures.txt", *c.file);
    dialogs_ = {};
    LoadSignatures(table_, *fs_, path_, dialogs_, c.language);
    EXPECT_EQ(std::tuple(table_.records(), table_.record_count, dialogs_.messages),
              std::tuple(c.records, c.record_count, c.messages));
  }
  EXPECT_EQ(table_.ExtensionForSignature("xdocXPR3"), "qxd");  // any case
  EXPECT_EQ(table_.ExtensionForSignature("NONEXIST"), "");
  ::unlink(path_.c_str());
  dir_.MakeFolder("Signatures.txt");  // unreadable
  LoadSignatures(table_, *fs_, path_, dialogs_, kEnglish);
  EXPECT_TRUE(dialogs_.messages.size() == 2u && table_.records() == built_in);
}

// The key ignores case, but the test of an unchanged record does not.
TEST_F(SignaturesTest, TheEditorListsCompleteRecordsInFileOrderAndTheFirstOfAKey) {
  SignatureEditor editor = Open(
      "\"XDOCXPR3\",\"qxd\",\"Quark\"\r\n\"NODESCRI\",\"x\",\"\"\r\n\"\",\"y\",\"No key\"\r\n"
      "\"8BPS8BIM\",\"\",\"Photoshop\"\r\n\"xdocxpr3\",\"q\",\"Again\"\r\n",
      kFrench);
  EXPECT_EQ(editor.rows(), (std::vector<MacSignature>{{"XDOCXPR3", "qxd", "Quark"},
                                                      {"8BPS8BIM", "", "Photoshop"}}));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].second, "Doublon dans le fichier des Signatures: xdocxpr3");
  EXPECT_EQ(editor.AddOrModify({"XDOCXPR3", "qxd", "Quark"}).message,
            "Signature inchangée: XDOCXPR3");
  EXPECT_FALSE(editor.modified());
  const SignatureOutcome outcome = editor.AddOrModify({"xdocXPR3", "qxd", "Quark"});
  EXPECT_EQ(std::pair(outcome.message, outcome.row),
            std::pair(std::string("Signature modifié: xdocXPR3"), std::optional<size_t>(0)));
  EXPECT_EQ(Keys(editor.rows()), (std::vector<std::string>{"xdocXPR3", "8BPS8BIM"}));
  EXPECT_EQ(editor.Caption(), "Vorn - Signatures Macintosh (2)");
  EXPECT_EQ(editor.DiscardQuestion(),
            "Liste modifiée\r\nQuitter sans sauvegarder les modifications");
  SignatureEditor missing(kFrench);
  missing.Open(*fs_, dir_.Path("missing.txt"), dialogs_);
  EXPECT_EQ(missing.Caption(), "Vorn - Signatures Macintosh (0)");  // never the built-in records
}

TEST_F(SignaturesTest, TheEditorChecksInOrderAndCountsCharactersNotBytes) {
  SignatureEditor editor = Open("");
  const struct {
    MacSignature typed;
    const char* message;
    bool refused = true;
  } cases[] = {
      {{"W6BNMSW", "docx", ""}, "Type/Creator signature must be 8 characters"},
      {{"CRÉATRC", "", "x"}, "Type/Creator signature must be 8 characters"},  // 8 bytes
      {{"W6BNMSWDX", "doc", "Word"}, "Type/Creator signature must be 8 characters"},
      {{"W6BNMSWD", "a:bc", ""}, "Windows extension must be 3 characters or less"},
      {{"W6BNMSWD", "d|c", ""}, "Invalid character in Windows extension"},
      {{"CRÉAtëur", "été", "Accents are one character each"}, "Added Signature: CRÉAtëur", false},
  };
  const StatusColour red{255, 0, 0}, magenta{255, 0, 255};
  for (const auto& c : cases) {
    const SignatureOutcome outcome = editor.AddOrModify(c.typed);
    EXPECT_EQ(std::tuple(outcome.message, outcome.beep(), ToneColour(outcome.tone)),
              std::tuple(c.message, c.refused, c.refused ? red : magenta));
  }
  EXPECT_EQ(Keys(editor.rows()), std::vector<std::string>{"CRÉAtëur"});
}

TEST_F(SignaturesTest, TheEditorSortsIgnoringCaseAndTheSelectedRowFollowsItsRecord) {
  SignatureEditor editor = Open(
      "\"BBBBBBBB\",\"a\",\"zeta\"\r\n\"aaaaaaaa\",\"c\",\"Beta\"\r\n"
      "\"CCCCCCCC\",\"B\",\"alpha\"\r\n");
  EXPECT_EQ(editor.SortBy(0, 1), 2u);
  EXPECT_EQ(Keys(editor.rows()), (std::vector<std::string>{"CCCCCCCC", "BBBBBBBB", "aaaaaaaa"}));
  EXPECT_EQ(editor.SortBy(1, std::nullopt), std::nullopt);
  EXPECT_EQ(Keys(editor.rows()), (std::vector<std::string>{"BBBBBBBB", "CCCCCCCC", "aaaaaaaa"}));
  editor.SortBy(2, std::nullopt);
  EXPECT_EQ(Keys(editor.rows()), (std::vector<std::string>{"BBBBBBBB", "aaaaaaaa", "CCCCCCCC"}));
  EXPECT_FALSE(editor.modified());
}

// The file is written with every field quoted, sorted by type/creator
// whatever the case.
TEST_F(SignaturesTest, TheEditorSavesOnlyChangesAndAFailureKeepsThem) {
  const std::string file = "\"TEXTttxt\",\"txt\",\"Text\"\r\n\"AAAAAAAA\",\"a\",\"A\"\r\n";
  SignatureEditor editor = Open(file, kFrench);
  LoadDefaultSignatures(table_);
  EXPECT_EQ(editor.Save(*fs_, path_, table_, dialogs_), std::nullopt);
  // Unmodified: not even sorted, and the table as it was.
  EXPECT_TRUE(dir_.Read("Signatures.txt") == file && table_.records().size() == 3u);
  editor.AddOrModify({"aaaaBBBB", "", "lower, first"});
  const std::optional<std::string> failure =
      editor.Save(*fs_, dir_.Path("no folder/Signatures.txt"), table_, dialogs_);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->rfind("Impossible d'écrire le fichier des Signatures:\r\n", 0), 0u);
  EXPECT_TRUE(editor.modified() && table_.records().size() == 3u);
  EXPECT_EQ(editor.Save(*fs_, path_, table_, dialogs_), std::nullopt);
  EXPECT_EQ(dir_.Read("Signatures.txt"),
            "\"AAAAAAAA\",\"a\",\"A\"\r\n\"aaaaBBBB\",\"\",\"lower, first\"\r\n"
            "\"TEXTttxt\",\"txt\",\"Text\"\r\n");
  EXPECT_TRUE(table_.ExtensionForSignature("textTTXT") == "txt" && !editor.modified());
}

}  // namespace
}  // namespace vorn
