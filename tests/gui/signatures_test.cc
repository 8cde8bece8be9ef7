// The signatures editor worked as a person would work it offscreen, over a
// real signatures file that every test reads back from disk.

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/signatures_dialog.h"
#include "support/fakes.h"

namespace vorn::gui {

class SignaturesTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::FileSystem> fs_;
  vorn::testing::ScriptedDialogs dialogs_;
  SignatureTable table_;
  int beeps_ = 0;
  std::unique_ptr<frmGestionSignatures> dialog_;

  QString FilePath() const { return dir_->path() + "/Signatures.txt"; }
  void WriteFile(const QByteArray& content) {
    QFile file(FilePath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
  }
  QByteArray ReadFile() {
    QFile file(FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  void Open(Language language = kEnglish) {
    dialog_ = std::make_unique<frmGestionSignatures>(
        nullptr, dialogs_, *fs_, FilePath().toStdString(), table_, language, [this] { ++beeps_; });
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
  }
  /// The list as shown, one "type/creator|extension|description" per row.
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < dialog_->lstSignatures->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = dialog_->lstSignatures->topLevelItem(i);
      rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
    }
    return rows;
  }
  void ClickRow(int row) {
    QTreeWidget* list = dialog_->lstSignatures;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
  }
  void ClickHeading(int column) {
    QHeaderView* header = dialog_->lstSignatures->header();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  }
  void Type(const char* signature, const char* extension, const char* type) {
    dialog_->txtSignature->setText(signature);
    dialog_->txtExtension->setText(extension);
    dialog_->txtType->setText(type);
    dialog_->cmdAjouter->click();
  }
  bool Red() const { return dialog_->lblMsg->styleSheet().contains("rgb(255, 0, 0)"); }
  bool Magenta() const { return dialog_->lblMsg->styleSheet().contains("rgb(255, 0, 255)"); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    fs_ = platform::MakePosixFileSystem();
    dialogs_ = {};
    table_.Clear();
    beeps_ = 0;
    WriteFile(
        "\"XDOCXPR3\",\"qxd\",\"Quark XPress\"\r\n\"TEXTttxt\",\"\",\"\"\r\n"
        "\"W6BNMSWD\",\"doc\",\"Word 6\"\r\n");
  }
  void cleanup() { dialog_.reset(); }

  void refusalsAreRedAndBeepAndAcceptedEdgesAdd() {
    Open();
    const struct {
      const char* signature;
      const char* extension;
      const char* type;
      const char* message;  // nothing: accepted
    } cases[] = {
        // Every check is the core's; these show the dialog's colours, beeps and rows.
        {"W6BNMSW", "doc", "Word", "Type/Creator signature must be 8 characters"},
        {"MSWD W6 ", "doc", "Word", nullptr},
        {"PDF CARO", "p\"", "Acrobat", "Invalid character in Windows extension"},
        {"8BPS8BIM", "", "Photoshop", nullptr},
    };
    int expected_beeps = 0;
    int expected_rows = 2;
    for (const auto& c : cases) {
      Type(c.signature, c.extension, c.type);
      if (c.message != nullptr) {
        QCOMPARE(dialog_->lblMsg->text(), QString(c.message));
        QVERIFY2(Red(), c.message);
        ++expected_beeps;
      } else {
        QCOMPARE(dialog_->lblMsg->text(), QString("Added Signature: ") + c.signature);
        QVERIFY(Magenta());
        ++expected_rows;
        QCOMPARE(dialog_->lstSignatures->indexOfTopLevelItem(
                     dialog_->lstSignatures->selectedItems().value(0)),
                 expected_rows - 1);
        QVERIFY(dialog_->txtSignature->hasFocus());
      }
      QCOMPARE(beeps_, expected_beeps);
      QCOMPARE(dialog_->lstSignatures->topLevelItemCount(), expected_rows);
    }
    QCOMPARE(Rows().mid(2), (QStringList{"MSWD W6 |doc|Word", "8BPS8BIM||Photoshop"}));
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh Signatures (4)"));
  }

  void openingShowsTheCompleteRecordsAndOnlyARealChangeModifies() {
    Open(kFrench);
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Signatures Macintosh (2)"));
    QCOMPARE(dialog_->lblType->text(), QString("Type Macintosh (libellé)\n[obligatoire]"));
    QCOMPARE(dialog_->cmdOK->text(), QString("&Sauvegarder"));
    Open();
    QCOMPARE(Rows(), (QStringList{"XDOCXPR3|qxd|Quark XPress", "W6BNMSWD|doc|Word 6"}));
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh signatures (2)"));
    QCOMPARE(dialog_->lstSignatures->headerItem()->text(2), QString("Type Macintosh"));
    QCOMPARE(dialog_->lblSignature->text(), QString("Type/Creator\n[mandatory]"));
    QVERIFY(dialog_->lstSignatures->selectedItems().isEmpty());
    QVERIFY(table_.records().empty());  // the engine's table is not touched until OK

    // Clicking a row fills the boxes; Add/Modify with nothing changed is refused.
    dialog_->lblMsg->setText("stale");
    ClickRow(1);
    QCOMPARE(dialog_->lblMsg->text(), QString());
    QCOMPARE(dialog_->txtSignature->text(), QString("W6BNMSWD"));
    QCOMPARE(dialog_->txtExtension->text(), QString("doc"));
    QCOMPARE(dialog_->txtType->text(), QString("Word 6"));

    dialog_->cmdAjouter->click();
    QCOMPARE(dialog_->lblMsg->text(), QString("Signature not modified: W6BNMSWD"));
    QVERIFY(Red());
    QCOMPARE(beeps_, 1);
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh signatures (2)"));  // unmodified

    dialog_->txtType->setText("Word 6 Document");
    dialog_->cmdAjouter->click();
    QCOMPARE(dialog_->lblMsg->text(), QString("Modified Signature: W6BNMSWD"));
    QVERIFY(Magenta());
    QCOMPARE(beeps_, 1);
    QCOMPARE(Rows()[1], QString("W6BNMSWD|doc|Word 6 Document"));
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh Signatures (2)"));
    dialog_->cmdOK->click();
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(ReadFile(), QByteArray("\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                                    "\"XDOCXPR3\",\"qxd\",\"Quark XPress\"\r\n"));
    QCOMPARE(table_.records().size(), size_t{2});
    QVERIFY(dialogs_.questions.empty());
  }

  void theDeleteKeyRemovesTheSelectedRowUntilTheFileIsEmpty() {
    Open();
    QTest::keyClick(dialog_->lstSignatures, Qt::Key_Delete);
    QCOMPARE(dialog_->lblMsg->text(), QString("Select a signature to remove"));
    QVERIFY(Red());
    QCOMPARE(beeps_, 1);
    for (const char* removed : {"XDOCXPR3", "W6BNMSWD"}) {
      ClickRow(0);
      QTest::keyClick(dialog_->lstSignatures, Qt::Key_Delete);
      QCOMPARE(dialog_->lblMsg->text(), QString("Removed Signature: ") + removed);
      QVERIFY(Magenta());
      QVERIFY(dialog_->lstSignatures->selectedItems().isEmpty());
    }
    dialog_->cmdSupprimer->click();
    QCOMPARE(beeps_, 2);
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh Signatures (0)"));
    LoadDefaultSignatures(table_);
    dialog_->cmdOK->click();
    QCOMPARE(ReadFile(), QByteArray());
    QVERIFY(table_.records().empty());
    QVERIFY(dialog_->isHidden());
  }

  void headingsSortTheListButTheFileStaysSortedByTypeCreator() {
    WriteFile("\"BBBBBBBB\",\"b\",\"zeta\"\r\n\"AAAAAAAA\",\"c\",\"alpha\"\r\n");
    Open();
    Type("CCCCCCCC", "a", "mu");
    ClickRow(0);
    ClickHeading(0);  // descending first
    QCOMPARE(Rows(), (QStringList{"CCCCCCCC|a|mu", "BBBBBBBB|b|zeta", "AAAAAAAA|c|alpha"}));
    QCOMPARE(dialog_->lstSignatures->selectedItems().value(0)->text(0), QString("BBBBBBBB"));
    ClickHeading(1);
    QCOMPARE(Rows(), (QStringList{"CCCCCCCC|a|mu", "BBBBBBBB|b|zeta", "AAAAAAAA|c|alpha"}));
    ClickHeading(2);
    QCOMPARE(Rows(), (QStringList{"BBBBBBBB|b|zeta", "CCCCCCCC|a|mu", "AAAAAAAA|c|alpha"}));
    ClickHeading(2);
    QCOMPARE(Rows(), (QStringList{"AAAAAAAA|c|alpha", "CCCCCCCC|a|mu", "BBBBBBBB|b|zeta"}));
    dialog_->cmdOK->click();
    QCOMPARE(ReadFile(),
             QByteArray("\"AAAAAAAA\",\"c\",\"alpha\"\r\n\"BBBBBBBB\",\"b\",\"zeta\"\r\n"
                        "\"CCCCCCCC\",\"a\",\"mu\"\r\n"));
  }

  void leavingWithChangesAsksBeforeDroppingThem() {
    const QByteArray before = ReadFile();
    Open();
    dialog_->cmdAnnuler->click();  // nothing changed: no question
    QVERIFY(dialog_->isHidden());
    QVERIFY(dialogs_.questions.empty());

    Open();
    ClickRow(0);
    dialog_->cmdSupprimer->click();
    dialog_->cmdAnnuler->click();
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    dialog_->close();
    QCOMPARE(dialogs_.questions, std::vector<std::string>(3, "Modified list\r\nDiscard changes"));
    QVERIFY(dialog_->isVisible());
    QCOMPARE(Rows(), QStringList{"W6BNMSWD|doc|Word 6"});

    dialogs_.answers = {true};
    dialog_->close();
    QVERIFY(dialog_->isHidden());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(ReadFile(), before);
    QVERIFY(table_.records().empty());
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::SignaturesTest)
#include "signatures_test.moc"
