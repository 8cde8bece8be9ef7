// The editing commands and the settings dialogs, worked as a person would
// work them offscreen; every test reads the files back from disk.

#include <sys/stat.h>

#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QtTest>

#include "gui/log_dialogs.h"
#include "gui/log_viewer.h"
#include "gui/qt_dialogs.h"
#include "gui/service_dialogs.h"
#include "gui/settings_dialogs.h"
#include "gui/signatures_dialog.h"
#include "gui/window_fixture.h"

namespace vorn::gui {

class DialogsTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

  /// Shown and laid out, as a person sees it.
  static void Shown(QWidget& widget) {
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
  }
  /// Whether a label has all the room its text needs.
  static bool Whole(const QLabel* label) { return label->width() >= label->sizeHint().width(); }
  /// The property a person changes on a control: its text, value or check mark.
  static const char* Knob(const QObject* control) {
    if (qobject_cast<const QLineEdit*>(control) != nullptr) return "text";
    return qobject_cast<const QAbstractSlider*>(control) != nullptr ? "value" : "checked";
  }

  // The signatures editor over a file of its own, its beeps counted.
  SignatureTable table_;
  int beeps_ = 0;
  std::unique_ptr<frmGestionSignatures> editor_;
  void OpenEditor(const QByteArray& file) {
    Write("Signatures.txt", file);
    editor_ = std::make_unique<frmGestionSignatures>(
        nullptr, dialogs_, *fs_, Path("Signatures.txt"), table_, kEnglish, [this] { ++beeps_; });
    Shown(*editor_);
  }
  /// The list as shown, one "type/creator|extension|description" per row.
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < editor_->lstSignatures->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = editor_->lstSignatures->topLevelItem(i);
      rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
    }
    return rows;
  }
  QString Selected() const {
    const auto selected = editor_->lstSignatures->selectedItems();
    return selected.isEmpty() ? QString() : selected[0]->text(0);
  }
  void ClickRow(int row) {
    QTreeWidget* list = editor_->lstSignatures;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
  }
  /// The message shown, after "!" when in the red of a refusal, "?" when in neither colour.
  QString Message() const {
    const QString style = editor_->lblMsg->styleSheet();
    return (style.contains("rgb(255, 0, 0)")     ? "!"
            : style.contains("rgb(255, 0, 255)") ? ""
                                                 : "?") +
           editor_->lblMsg->text();
  }
  void Add(const QString& signature, const QString& extension, const QString& type) {
    editor_->txtSignature->setText(signature);
    editor_->txtExtension->setText(extension);
    editor_->txtType->setText(type);
    editor_->cmdAjouter->click();
  }

 private slots:
  void init() {
    editor_.reset();
    table_.Clear();
    beeps_ = 0;
    Reset();
  }

  void anEmptyListShowsTheGuideAndAddingByBrowsingOpensTheSettings() {
    Open({}, "[Configuration]\r\nLangue=3\r\nAfficherLocked=1\r\n");
    QCOMPARE(window_->pane(), LowerPane::kGuide);
    QVERIFY(window_->lblBulle1->isVisible() && !window_->lstLocked->isVisible());
    QVERIFY(!window_->lblNbDossiers->isVisible());
    QCOMPARE(window_->lblBulle2->text(), QString("2 - define folders"));
    window_->cmdMiroir->click();  // nothing to mirror: no start
    QVERIFY(window_->scheduler().Idle() && window_->cmdAjouterDossierSource->isEnabled());
    dialogs_.folders.push_back("/");
    Step<frmSetMode>([](frmSetMode& dialog) {
      QCOMPARE(dialog.lblSource->text(), QString("/"));
      QCOMPARE(dialog.lblCible->text(), QString("???"));
      QVERIFY(!dialog.chkSourceVide->isEnabled());
      dialog.chkEffacer->click();  // only removal lets an empty source empty the target
      dialog.chkSourceVide->click();
      dialog.cmdOK->click();
    });
    window_->cmdAjouterDossierSource->click();
    QCOMPARE(Pairs(), Line("/", ""));
    // The addition wrote Effacer and KeepVersions; OK wrote its eight keys
    // after them, in order.
    QCOMPARE(
        IniMissing({"[Mirror_1]\r\nEffacer=1\r\nKeepVersions=30\r\nEnable=1\r\nNbTemporisations=1\r\nDeplacer=0\r\n"
                    "Renommer=0\r\nNouveau=0\r\nNoMilliseconds=0\r\nSourceVideAutorise=1\r\n"}),
        QString());
    QCOMPARE(window_->lstDossiers->item(0, 2)->text(), QString("???"));
    QVERIFY(!window_->highlighting());  // the reload took the highlight away
    QCOMPARE(window_->pane(), LowerPane::kLocked);
  }

  // Cancel leaves file and dialog as they were, a value out of the number
  // box's limits keeps the dialog open, OK stores and the window follows.
  void settingsDialogsStoreOnlyOnOk() {
    Open({"Enable=1"},
         "[Configuration]\r\nLangue=3\r\nTemporisation=10\r\nErreurDossier=1\r\nErreurDossierSon="
         "1\r\n");
    QCOMPARE(window_->ProgressBarAttente->maximum(), 9);
    QVERIFY(window_->mnuDossierErr->isChecked());
    const struct {
      QAction* menu;
      std::vector<std::pair<const char*, QString>> controls;
      std::vector<std::string> stored;
      const char* refused;  // by OK, in the number box
    } cases[] = {
        {window_->mnuPrefixeCibleDefaut,
         {{"Text1", QPath("copy")}, {"Text2", "//backup/share"}},
         {"PrefixeCibleDefaut=" + Path("copy"), "PrefixeCibleDefautUNC=//backup/share"},
         nullptr},
        {window_->mnuTempo, {{"Text1", "20"}}, {"Temporisation=20"}, "32768"},
        {window_->mnuPerformance, {{"HScroll1", "100"}}, {"Performance=100"}, nullptr},
        // Days are read as a rounded number.
        {window_->mnuPurgeLogs,
         {{"chkPurgeLogs", "true"}, {"Text1", " 11.5 days"}},
         {"PurgeLogs=1", "DelaiLogs=12"},
         "367"},
        {window_->mnuPurgeLogs, {{"chkPurgeLogs", "false"}}, {"PurgeLogs=0"}, nullptr},
        {window_->mnuDefinirLogs,
         {{"chkLogs", "true"}, {"chkFichiersLogs", "true"}},
         {"Logs=1", "FichiersLogs=1"},
         nullptr},
        {window_->mnuDefinirLogs, {{"chkLogs", "false"}}, {"Logs=0"}, nullptr},
        {window_->mnuDossierErr,
         {{"chkDossierErr", "false"}, {"chkDossierErrSon", "false"}, {"txtNetSend", "admin"}},
         {"ErreurDossier=0", "ErreurDossierSon=0", "ErreurDossierNetSend=0",
          "MessageNetSend=admin"},
         nullptr},
    };
    for (const auto& c : cases) {
      const QString name = c.menu->objectName();
      const auto work = [&c](QDialog& dialog, const char* button) {
        for (const auto& control : c.controls) {
          QObject* knob = dialog.findChild<QObject*>(control.first);
          QVERIFY2(knob != nullptr, control.first);
          QVERIFY2(knob->property(Knob(knob)).toString() != control.second, control.first);
          knob->setProperty(Knob(knob), control.second);
        }
        dialog.findChild<QPushButton*>(button)->click();
      };
      const std::string before = Ini();
      dialog_steps_.push_back([&work](QDialog& dialog) { work(dialog, "cmdAnnuler"); });
      c.menu->trigger();
      QVERIFY2(Ini() == before, qPrintable(name));
      dialog_steps_.push_back([this, &c, &work](QDialog& dialog) {
        if (c.refused != nullptr) {
          dialog.findChild<QLineEdit*>("Text1")->setText(c.refused);
          dialog.findChild<QPushButton*>("cmdOK")->click();
          QCOMPARE(LastMessage(), QString("Invalid value: ") + c.refused);
          QCOMPARE(dialogs_.messages.back().first, MessageIcon::kCritical);
          QCOMPARE(QString::fromStdString(dialogs_.titles.back()), dialog.windowTitle());
          QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
        }
        work(dialog, "cmdOK");
      });
      c.menu->trigger();
      for (const std::string& key : c.stored) QCOMPARE(IniMissing({key + "\r\n"}), QString());
      QCOMPARE(c.menu->isChecked(), c.stored[0].ends_with("=1"));
    }
    QVERIFY(Ini().find("ErreurDossierEventLog") == std::string::npos);  // the service dialog's
    QCOMPARE(window_->ProgressBarAttente->maximum(), 19);
    QCOMPARE(window_->scheduler().WaitCounter(), int16_t{20});
    // Typed sources take the default targets, and typing opens no settings dialog.
    const int run = dialogs_run_;
    dialogs_.typed = {Path("s0"), "//server/data/x"};
    window_->mnuAjouterSourceSaisir->trigger();
    window_->mnuAjouterSourceSaisir->trigger();
    QCOMPARE(dialogs_run_, run);
    QVERIFY(Pairs().endsWith(Line(Path("s0"), Path("copy") + Path("s0")) +
                             Line("//server/data/x", "//backup/share/x")));
  }

  void theIntervalColumnOpensThePairSettings() {
    Open({"Effacer=1\r\nNouveau=1"}, "[Configuration]\r\nLangue=3\r\nTemporisation=10\r\n");
    Step<frmSetMode>([this](frmSetMode& dialog) {
      Shown(dialog);
      const QSize size = dialog.size();  // kept whatever the count shows
      const auto count = [&dialog, size](const char* text) {
        dialog.txtMiroirN->setText(text);
        QTest::qWait(10);
        QCOMPARE(dialog.size(), size);
      };
      QVERIFY(dialog.optTempo0->isChecked() && !dialog.txtMiroirN->isEnabled());
      QVERIFY(dialog.optTempo0->text().contains("(10 seconds)"));
      dialog.optTempo1->click();
      count("6");
      QCOMPARE(dialog.lblMiroirN2->text(), QString("i.e. 0 h 1 min 0 sec"));
      QVERIFY(dialog.lblErr->isHidden());
      count("1");
      QVERIFY(!dialog.lblErr->isHidden() && dialog.lblMiroirN2->isHidden());
      count("64001");
      dialog.cmdOK->click();
      QCOMPARE(LastMessage(), QString("Value must be set between 2 and 64000"));
      QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
      count("64000");
      // Moving takes removal and the update rule along.
      QVERIFY(!dialog.chkRenommer->isEnabled());
      dialog.chkDeplacer->click();
      QVERIFY(dialog.chkRenommer->isEnabled() && !dialog.chkEffacer->isEnabled());
      QVERIFY(!dialog.chkEffacer->isChecked() && !dialog.frameMAJ->isEnabled());
      QVERIFY(dialog.optNouveau0->isChecked());
      dialog.chkRenommer->click();
      dialog.cmdOK->click();
    });
    ClickCell(0, 1);
    QCOMPARE(IniMissing(
                 {"NbTemporisations=64000", "Deplacer=1", "Renommer=1", "Effacer=0", "Nouveau=0"}),
             QString());
    QCOMPARE(window_->app().pairs.rows[0].interval_image, IntervalImage::kSpecificInterval);
    const std::string before = Ini();
    Step<frmSetMode>([](frmSetMode& dialog) {
      dialog.chkEnable->setChecked(false);
      dialog.cmdAnnuler->click();
    });
    ClickCell(0, 1);
    QCOMPARE(Ini(), before);
  }

  void theLogFolderIsChosenKeptWhenGoneAndLookedInByTheViewer() {
    // '#' starts a URL's fragment: pasted into a URL by hand, the folder
    // "logs #2" became "logs " and the browser found nothing.
    MakeFolder("logs #2");
    Write("logs #2/Log Vorn 2024-05-01.htm", "<html>");
    Open({"Enable=1"},
         "[Configuration]\r\nLangue=3\r\n[Logs]\r\nPathLogs=" + QPath("logs #2").toUtf8() + "\r\n");
    const auto view = [this](size_t days) {
      window_->mnuVoirLogs->trigger();
      QCOMPARE(window_->log_viewer()->Label.size(), days);
      window_->log_viewer()->close();
      QTRY_VERIFY(window_->log_viewer() == nullptr);
    };
    view(1);
    const QUrl url(QString::fromStdString(opened_.at(0)));
    QCOMPARE(url.toLocalFile(), QPath("logs #2/Log Vorn 2024-05-01.htm"));
    QVERIFY(!url.hasFragment());
    // Gone, the folder stays the choice and the viewer looks home.
    QVERIFY(QDir(QPath("logs #2")).removeRecursively());
    view(0);
    QCOMPARE(opened_.size(), size_t{1});
    Write("home/Log Vorn 2024-05-02.htm", "<html>");
    view(1);
    QCOMPARE(opened_.back(), "file://" + Path("home/Log Vorn 2024-05-02.htm"));

    MakeFolder("logs/daily");
    Step<frmPathLogs>([this](frmPathLogs& dialog) {
      QCOMPARE(dialog.lblDossier->text(), QPath("logs #2"));
      QVERIFY(dialog.Lecteurs->count() >= 1 && !dialog.Chemins->isEnabled());
      dialog.chkLogs->click();
      QVERIFY(dialog.Chemins->isEnabled());
      QVERIFY(!dialog.OpenPath(QPath("missing")));
      QCOMPARE(dialog.CurrentPath(), QPath("logs #2"));
      QVERIFY(dialog.OpenPath(QPath("logs/daily")));
      dialog.cmdOK->click();
    });
    window_->mnuDefinirLogs->trigger();
    QCOMPARE(IniMissing({"PathLogs=" + Path("logs/daily") + "\r\n"}), QString());
    QCOMPARE(window_->app().settings.PathLogs, Path("logs/daily"));
  }

  // The limit messages come and go on a row of their own, the dialogs keep
  // their size, and every text has its room in every language.
  void numberBoxesStopAtTheirLimitsAndLayoutsKeepTheirShape() {
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    for (const Language language : {kEnglish, kFrench, kPortuguese}) {
      MirrorSettings settings;
      settings.Langue = language;
      frmTempo tempo(nullptr, dialogs_, ini, settings, [] {});
      frmPurgeLogs purge(nullptr, dialogs_, ini, settings);
      const struct {
        QDialog* dialog;
        QLabel* unit;
        const char* from;
        bool up;
        const char* to;
        const char* message;  // in English
      } cases[] = {
          {&tempo, tempo.lblSecondes, "32766", true, "32767", "Maximal temporisation reached"},
          {&tempo, tempo.lblSecondes, "2", false, "1", "Minimal temporisation reached"},
          {&purge, purge.lblJours, "365", true, "366", "Maximal value reached"},
          {&purge, purge.lblJours, "3", false, "2", "Minimal value reached"},
      };
      for (const auto& c : cases) {
        Shown(*c.dialog);
        NumberBox& box = *c.dialog->findChild<NumberBox*>("UpDown1");
        const QSize before = c.dialog->size();
        box.Text1->setText(c.from);
        for (int click = 0; click < 2; ++click) (c.up ? box.up : box.down)->click();
        QCOMPARE(box.Text1->text(), QString(c.to));
        QVERIFY(box.Label1->isVisible());
        if (language == kEnglish) QCOMPARE(box.Label1->text(), QString(c.message));
        QTest::qWait(10);
        QCOMPARE(c.dialog->size(), before);
        const QFontMetrics metrics = box.Text1->fontMetrics();
        const int room = box.Text1->width() - box.Text1->sizeHint().width() +
                         17 * metrics.horizontalAdvance(QLatin1Char('x'));
        QVERIFY2(room >= metrics.horizontalAdvance(c.to), c.to);
        QVERIFY(Whole(box.Label1) && Whole(c.unit));
        QVERIFY(!box.Label1->geometry().intersects(c.unit->geometry()));
      }
      // The performance bar's end labels sit under its ends, whole and apart.
      frmPerformance performance(nullptr, ini, settings);
      Shown(performance);
      const QRect bar = performance.HScroll1->geometry();
      const QRect low = performance.lblMin->geometry();
      const QRect high = performance.lblMax->geometry();
      QCOMPARE(low.left(), bar.left());
      QCOMPARE(high.right(), bar.right());
      QVERIFY(high.left() - low.right() >=
              2 * performance.fontMetrics().horizontalAdvance(QLatin1Char('M')));
      QVERIFY(Whole(performance.lblMin) && Whole(performance.lblMax));
    }

    const std::string path = "/home/user/Documents/Projects/2024/Clients/Northwind/Reports/Q4";
    TextInputBox input(nullptr, "ADD: type a SOURCE folder", path);
    Shown(input);
    auto* line = input.findChild<QLineEdit*>();
    QVERIFY(line->width() >= 60 * line->fontMetrics().averageCharWidth());
    QCOMPARE(line->cursorPosition(), 0);
    QCOMPARE(line->selectedText(), QString::fromStdString(path));
  }

  void theWarningDialogTriesTheNetworkMessage() {
    // A stand-in for the network messenger that writes down what it was asked.
    MakeFolder("bin");
    Write("bin/net", "#!/bin/sh\necho \"$@\" > '" + QPath("net-args").toUtf8() + "'\n");
    QVERIFY(chmod(Path("bin/net").c_str(), 0755) == 0);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QPath("bin").toUtf8() + ":" + path);
    Open();
    Step<frmAvertirDossierErr>([this](frmAvertirDossierErr& dialog) {
      QVERIFY(!dialog.txtNetSend->isEnabled());
      dialog.chkDossierErrNetSend->click();
      QVERIFY(dialog.txtNetSend->isEnabled());
      dialog.txtNetSend->clear();
      dialog.cmdEssayer->click();  // nothing to send: a warning instead
      QCOMPARE(dialogs_.messages.size(), size_t{1});
      QCOMPARE(dialogs_.messages.back().first, MessageIcon::kExclamation);
      dialog.txtNetSend->setText("admin Folder missing");
      dialog.cmdEssayer->click();
      QTRY_COMPARE(Read("net-args"), QByteArray("send admin Folder missing\n"));
      QCOMPARE(dialogs_.messages.size(), size_t{1});
    });
    window_->mnuDossierErr->trigger();
    qputenv("PATH", path);
  }

  void theSignaturesEditorSavesIntoTheTableTheEngineUses() {
    Open();
    Step<frmGestionSignatures>([](frmGestionSignatures& dialog) {
      dialog.txtSignature->setText("TEXTttxt");
      dialog.txtExtension->setText("txt");
      dialog.txtType->setText("Text file");
      dialog.cmdAjouter->click();
      dialog.cmdOK->click();
    });
    window_->mnuGestionSignatures->trigger();
    QCOMPARE(Read("home/Signatures.txt"), QByteArray("\"TEXTttxt\",\"txt\",\"Text file\"\r\n"));
    QCOMPARE(window_->app().signatures.ExtensionForSignature("TEXTttxt"), std::string("txt"));
    QCOMPARE(window_->app().signatures.records().size(), size_t{1});
  }

  // The editor's rules and texts are the core's; here, what the dialog does with them.
  void theSignaturesEditorShowsRefusalsInRedWithABeepAndSavesOnOk() {
    OpenEditor(
        "\"XDOCXPR3\",\"qxd\",\"Quark XPress\"\r\n\"TEXTttxt\",\"\",\"\"\r\n"
        "\"W6BNMSWD\",\"doc\",\"Word 6\"\r\n");
    QCOMPARE(Rows(), (QStringList{"XDOCXPR3|qxd|Quark XPress", "W6BNMSWD|doc|Word 6"}));
    QCOMPARE(editor_->windowTitle(), QString("Vorn - Macintosh signatures (2)"));
    QTest::keyClick(editor_->lstSignatures, Qt::Key_Delete);
    QCOMPARE(Message(), QString("!Select a signature to remove"));
    Add("W6BNMSW", "", "");
    QCOMPARE(Message(), QString("!Type/Creator signature must be 8 characters"));
    QCOMPARE(beeps_, 2);
    Add("8BPS8BIM", "", "Photoshop");
    QCOMPARE(Message(), QString("Added Signature: 8BPS8BIM"));
    QCOMPARE(beeps_, 2);
    QCOMPARE(Rows().last(), QString("8BPS8BIM||Photoshop"));
    QCOMPARE(Selected(), QString("8BPS8BIM"));
    QVERIFY(editor_->txtSignature->hasFocus());
    QCOMPARE(editor_->windowTitle(), QString("Vorn - Macintosh Signatures (3)"));
    // A clicked row fills the boxes, and only a real change modifies it.
    ClickRow(1);
    QCOMPARE(editor_->lblMsg->text(), QString());
    QCOMPARE(editor_->txtSignature->text() + "|" + editor_->txtExtension->text() + "|" +
                 editor_->txtType->text(),
             QString("W6BNMSWD|doc|Word 6"));
    editor_->cmdAjouter->click();
    QCOMPARE(Message(), QString("!Signature not modified: W6BNMSWD"));
    editor_->txtType->setText("Word 6 Document");
    editor_->cmdAjouter->click();
    QCOMPARE(Message(), QString("Modified Signature: W6BNMSWD"));
    QCOMPARE(Rows()[1], QString("W6BNMSWD|doc|Word 6 Document"));
    // A heading sorts the list, descending first, and the selection follows its record.
    ClickRow(0);
    QHeaderView* header = editor_->lstSignatures->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                             header->height() / 2));
    QCOMPARE(Rows(), (QStringList{"W6BNMSWD|doc|Word 6 Document", "XDOCXPR3|qxd|Quark XPress",
                                  "8BPS8BIM||Photoshop"}));
    QCOMPARE(Selected(), QString("XDOCXPR3"));
    QTest::keyClick(editor_->lstSignatures, Qt::Key_Delete);
    QCOMPARE(Message(), QString("Removed Signature: XDOCXPR3"));
    QVERIFY(Selected().isEmpty());
    QVERIFY(table_.records().empty());  // the engine's table waits for OK
    editor_->cmdOK->click();
    QCOMPARE(editor_->result(), int(QDialog::Accepted));
    QCOMPARE(Read("Signatures.txt"), QByteArray("\"8BPS8BIM\",\"\",\"Photoshop\"\r\n"
                                                "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"));
    QCOMPARE(table_.records().size(), size_t{2});
    QVERIFY(dialogs_.questions.empty());
  }

  void leavingTheSignaturesEditorWithChangesAsksBeforeDroppingThem() {
    const QByteArray file = "\"BBBBBBBB\",\"b\",\"zeta\"\r\n";
    OpenEditor(file);
    editor_->cmdAnnuler->click();  // nothing changed: no question
    QVERIFY(editor_->isHidden() && dialogs_.questions.empty());
    OpenEditor(file);
    ClickRow(0);
    editor_->cmdSupprimer->click();
    editor_->cmdAnnuler->click();
    QTest::keyClick(editor_.get(), Qt::Key_Escape);
    editor_->close();
    QCOMPARE(dialogs_.questions, std::vector<std::string>(3, "Modified list\r\nDiscard changes"));
    QVERIFY(editor_->isVisible());
    dialogs_.answers = {true};
    editor_->close();
    QVERIFY(editor_->isHidden());
    QCOMPARE(editor_->result(), int(QDialog::Rejected));
    QCOMPARE(Read("Signatures.txt"), file);
    QVERIFY(table_.records().empty());
  }

  void standardButtonsSpeakTheLanguageOfTheMenu() {
    const QString qt_texts = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(qt_texts + "/qtbase_fr.qm") ||
        !QFile::exists(qt_texts + "/qtbase_pt_BR.qm")) {
      QSKIP("Qt's own translations (qt6-translations-l10n) are not installed");
    }
    Open();
    QtDialogs real_dialogs;
    const struct {
      QAction* menu;
      QStringList buttons;
    } cases[] = {{window_->mnuFrancais, {"&Oui", "&Non"}},
                 {window_->mnuPortugais, {"&Sim", "&Não"}},
                 {window_->mnuAnglais, {"&Yes", "&No"}}};
    for (const auto& c : cases) {
      c.menu->trigger();
      QStringList shown;
      // Read and answered from inside its own event loop, so the test never waits on it.
      QTimer::singleShot(0, this, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
      });
      QVERIFY(!real_dialogs.AskYesNo("?"));
      QCOMPARE(shown, c.buttons);
    }
  }

  void theServiceDialogInstallsAndRemovesTheService() {
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    MirrorSettings settings;
    std::vector<std::string> effects;
    const ServiceDialogEffects record{
        [&effects](bool on) { effects.push_back(on ? "service" : "application"); },
        [&effects] { effects.push_back("beep"); }, [&effects] { effects.push_back("end"); }};
    {
      frmAdminService dialog(nullptr, dialogs_, ini, settings, service_, record);
      dialog.optType1->setChecked(true);
      dialog.cmdInstall->click();
      QVERIFY(service_.installed && service_.start_type == platform::kStartManual);
      QVERIFY(LastMessage().startsWith("Vorn Service installed"));
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    frmAdminService dialog(nullptr, dialogs_, ini, settings, service_, record);
    QVERIFY(dialog.optType1->isChecked());  // read back from the service
    dialog.cmdInstall->click();
    QCOMPARE(dialog.lblService->text(), QString("Vorn Service already installed"));
    dialog.cmdRemove->click();
    QVERIFY(!service_.installed);
    QCOMPARE(dialog.lblService->text(), QString("Vorn Service: removed"));
    dialog.cmdRemove->click();
    QCOMPARE(dialog.lblService->text(), QString("Vorn Service not installed"));
    QCOMPARE(effects, (std::vector<std::string>{"service", "end", "beep", "application", "beep",
                                                "application"}));
    dialog.chkDossierErrEventLog->click();
    QCOMPARE(IniMissing({"ErreurDossierEventLog=1"}), QString());
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::DialogsTest)
#include "dialogs_test.moc"
