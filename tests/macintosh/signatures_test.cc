#include "macintosh/signatures.h"

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn {
namespace {

using testing::TestFolder;

class SignaturesTest : public ::testing::Test {
 protected:
  void Load(int16_t language = kEnglish) {
    LoadSignatures(table_, *fs_, path_, dialogs_, language);
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const MacSignature& r : table_.records()) keys.push_back(r.type_creator);
    return keys;
  }

  TestFolder dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
  std::string path_ = dir_.Path("Signatures.txt");
  SignatureTable table_;
  testing::ScriptedDialogs dialogs_;
};

const std::vector<std::string> kBuiltIn = {"W6BNMSWD", "WDBNMSWD", "XDOCXPR3"};

TEST_F(SignaturesTest, AMissingFileGivesTheBuiltInRecordsAndAnEmptyOneNothing) {
  Load();
  EXPECT_EQ(Keys(), kBuiltIn);
  EXPECT_EQ(table_.ExtensionForSignature("XDOCXPR3"), "qxd");
  EXPECT_EQ(table_.record_count, 0);
  dir_.Write("Signatures.txt", "");
  Load();
  EXPECT_TRUE(table_.records().empty());
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SignaturesTest, QuotedUnquotedAndCommaInsideQuotes) {
  dir_.Write("Signatures.txt",
             "\"TEXTttxt\",\"txt\",\"Text, plain\"\r\n"
             "  8BPS8BIM , psd , Photoshop image  \r\n"
             "\"PDF CARO\",\"\",\"Acrobat\" ignored\r\n");
  Load();
  ASSERT_EQ(table_.records().size(), 3u);
  EXPECT_EQ(table_.records()[0], (MacSignature{"TEXTttxt", "txt", "Text, plain"}));
  EXPECT_EQ(table_.records()[1], (MacSignature{"8BPS8BIM", "psd", "Photoshop image"}));
  EXPECT_EQ(table_.records()[2], (MacSignature{"PDF CARO", "", "Acrobat"}));
  EXPECT_EQ(table_.record_count, 3);
  EXPECT_EQ(table_.ExtensionForSignature("pdf caro"), "");
  EXPECT_EQ(table_.ExtensionForSignature("textTTXT"), "txt");
  EXPECT_EQ(table_.ExtensionForSignature("NONEXIST"), "");
}

TEST_F(SignaturesTest, RecordsSpanLinesAndEmptyLinesAreEmptyFields) {
  dir_.Write("Signatures.txt",
             "\"AAAAAAAA\",\"aaa\"\r\n\"first\"\r\n"
             "\r\n\"x\",\"skipped: no type\"\r\n"
             "\"BBBBBBBB\",\"bbb\",\"\"\r\n");
  Load();
  EXPECT_EQ(Keys(), std::vector<std::string>{"AAAAAAAA"});  // the empty ones are skipped
  EXPECT_EQ(table_.record_count, 1);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SignaturesTest, ADuplicateInAnotherCaseIsReportedAndTheFirstStays) {
  dir_.Write("Signatures.txt",
             "\"W6BNMSWD\",\"doc\",\"Word\"\r\n\"w6bnmswd\",\"rtf\",\"Again\"\r\n");
  Load(kFrench);
  EXPECT_EQ(table_.ExtensionForSignature("W6BNMSWD"), "doc");
  EXPECT_EQ(table_.record_count, 1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].first, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs_.messages[0].second, "Doublon dans le fichier des Signatures: w6bnmswd");
}

TEST_F(SignaturesTest, AShortLastRecordIsACorruptedFile) {
  dir_.Write("Signatures.txt",
             "\"AAAAAAAA\",\"a\",\"A\"\r\n\"BBBBBBBB\",\"b\",\"B\"\r\n\"CCCCCCCC\",\"c\",\"C\"\r\n"
             "\"DDDDDDDD\",\"d\"\r\n");
  Load(kPortuguese);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].first, MessageIcon::kCritical);
  EXPECT_EQ(dialogs_.messages[0].second, "Corrupted Signatures file:\r\n" + path_ + "\r\nLine:3");
  EXPECT_EQ(Keys(), kBuiltIn);
}

TEST_F(SignaturesTest, AnUnreadableFileCountsAsDamaged) {
  dir_.MakeFolder("Signatures.txt");
  Load();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(Keys(), kBuiltIn);
}

TEST_F(SignaturesTest, TheWriterQuotesSortsAndReadsBack) {
  const std::vector<MacSignature> records = {{"XDOCXPR3", "qxd", "Quark, XPress"},
                                             {"aaaaBBBB", "", "lower first"},
                                             {"W6BNMSWD", "doc", "Word"}};
  const std::string text = FormatSignatureFile(records);
  EXPECT_EQ(text,
            "\"aaaaBBBB\",\"\",\"lower first\"\r\n\"W6BNMSWD\",\"doc\",\"Word\"\r\n"
            "\"XDOCXPR3\",\"qxd\",\"Quark, XPress\"\r\n");
  const SignatureFileContents back = ParseSignatureFile(text);
  EXPECT_FALSE(back.damaged);
  ASSERT_EQ(back.records.size(), 3u);
  EXPECT_EQ(back.records[2].description, "Quark, XPress");
  EXPECT_EQ(FormatSignatureFile({}), "");
}

}  // namespace
}  // namespace vorn
