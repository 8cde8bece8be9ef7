// The signatures editor worked as a person would work it offscreen, over a
// real signatures file read back from disk. The editor's rules and texts are
// the core's and tested there; these check what the dialog does with them.

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
  std::unique_ptr<platform::FileSystem> fs_ = platform::MakePosixFileSystem();
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
  void Open() {
    dialog_ = std::make_unique<frmGestionSignatures>(
        nullptr, dialogs_, *fs_, FilePath().toStdString(), table_, kEnglish, [this] { ++beeps_; });
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
  QString Selected() const {
    const auto selected = dialog_->lstSignatures->selectedItems();
    return selected.isEmpty() ? QString() : selected[0]->text(0);
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
  /// The message shown, with "!" before it when it is the red of a refusal.
  QString Message() const {
    const bool red = dialog_->lblMsg->styleSheet().contains("rgb(255, 0, 0)");
    const bool magenta = dialog_->lblMsg->styleSheet().contains("rgb(255, 0, 255)");
    return (red ? "!" : magenta ? "" : "?") + dialog_->lblMsg->text();
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    dialogs_ = {};
    table_.Clear();
    beeps_ = 0;
    WriteFile(
        "\"XDOCXPR3\",\"qxd\",\"Quark XPress\"\r\n\"TEXTttxt\",\"\",\"\"\r\n"
        "\"W6BNMSWD\",\"doc\",\"Word 6\"\r\n");
  }
  void cleanup() { dialog_.reset(); }

  void addingShowsRefusalsInRedWithABeepAndSelectsWhatWasAdded() {
    Open();
    QCOMPARE(Rows(), (QStringList{"XDOCXPR3|qxd|Quark XPress", "W6BNMSWD|doc|Word 6"}));
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh signatures (2)"));
    QVERIFY(Selected().isEmpty());
    dialog_->txtSignature->setText("W6BNMSW");
    dialog_->cmdAjouter->click();
    QCOMPARE(Message(), QString("!Type/Creator signature must be 8 characters"));
    QCOMPARE(beeps_, 1);
    dialog_->txtSignature->setText("8BPS8BIM");
    dialog_->txtExtension->setText("");
    dialog_->txtType->setText("Photoshop");
    dialog_->cmdAjouter->click();
    QCOMPARE(Message(), QString("Added Signature: 8BPS8BIM"));
    QCOMPARE(beeps_, 1);
    QCOMPARE(Rows().last(), QString("8BPS8BIM||Photoshop"));
    QCOMPARE(Selected(), QString("8BPS8BIM"));
    QVERIFY(dialog_->txtSignature->hasFocus());
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh Signatures (3)"));
    QVERIFY(table_.records().empty());  // the engine's table waits for OK
  }

  void aClickedRowFillsTheBoxesAndOnlyARealChangeModifiesIt() {
    Open();
    dialog_->lblMsg->setText("stale");
    ClickRow(1);
    QCOMPARE(dialog_->lblMsg->text(), QString());
    QCOMPARE(dialog_->txtSignature->text() + "|" + dialog_->txtExtension->text() + "|" +
                 dialog_->txtType->text(),
             QString("W6BNMSWD|doc|Word 6"));
    dialog_->cmdAjouter->click();
    QCOMPARE(Message(), QString("!Signature not modified: W6BNMSWD"));
    QCOMPARE(dialog_->windowTitle(), QString("Vorn - Macintosh signatures (2)"));
    dialog_->txtType->setText("Word 6 Document");
    dialog_->cmdAjouter->click();
    QCOMPARE(Message(), QString("Modified Signature: W6BNMSWD"));
    QCOMPARE(Rows()[1], QString("W6BNMSWD|doc|Word 6 Document"));
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
    QCOMPARE(Message(), QString("!Select a signature to remove"));
    for (const char* removed : {"XDOCXPR3", "W6BNMSWD"}) {
      ClickRow(0);
      QTest::keyClick(dialog_->lstSignatures, Qt::Key_Delete);
      QCOMPARE(Message(), QString("Removed Signature: ") + removed);
      QVERIFY(Selected().isEmpty());
    }
    dialog_->cmdSupprimer->click();
    QCOMPARE(beeps_, 2);
    LoadDefaultSignatures(table_);
    dialog_->cmdOK->click();
    QCOMPARE(ReadFile(), QByteArray());
    QVERIFY(table_.records().empty());
    QVERIFY(dialog_->isHidden());
  }

  void headingsSortTheListButTheFileStaysSortedByTypeCreator() {
    WriteFile("\"BBBBBBBB\",\"b\",\"zeta\"\r\n\"AAAAAAAA\",\"c\",\"alpha\"\r\n");
    Open();
    dialog_->txtSignature->setText("CCCCCCCC");
    dialog_->txtExtension->setText("a");
    dialog_->txtType->setText("mu");
    dialog_->cmdAjouter->click();
    ClickRow(0);
    ClickHeading(0);  // descending first
    QCOMPARE(Rows(), (QStringList{"CCCCCCCC|a|mu", "BBBBBBBB|b|zeta", "AAAAAAAA|c|alpha"}));
    QCOMPARE(Selected(), QString("BBBBBBBB"));  // the selection follows its record
    ClickHeading(2);  // another column: ascending
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
