// The editing commands and the settings dialogs, worked as a person would
// work them offscreen; every test reads the files back from disk.

#include <sys/stat.h>

#include <QLibraryInfo>
#include <QMessageBox>
#include <QtTest>
#include <cstdlib>

#include "gui/log_dialogs.h"
#include "gui/qt_dialogs.h"
#include "gui/service_dialogs.h"
#include "gui/settings_dialogs.h"
#include "gui/signatures_dialog.h"
#include "gui/window_fixture.h"
#include "platform/systemd_service.h"

namespace vorn::gui {

class DialogsTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

  template <typename Dialog>
  void Step(std::function<void(Dialog&)> work) {
    dialog_steps_.push_back([work](QDialog& dialog) {
      auto* typed = qobject_cast<Dialog*>(&dialog);
      QVERIFY(typed != nullptr);
      work(*typed);
    });
  }
  /// Shown and laid out, as a person sees it.
  static void Shown(QWidget& widget) {
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
  }
  /// Whether a label has all the room its text needs.
  static bool Whole(const QLabel* label) { return label->width() >= label->sizeHint().width(); }
  QString LastMessage() const {
    return dialogs_.messages.empty() ? QString()
                                     : QString::fromStdString(dialogs_.messages.back().second);
  }
  void DoubleClickCell(int row, int column) {
    ClickCell(row, column);  // a double-click starts with a press, which the grid needs
    QTest::mouseDClick(window_->lstDossiers->viewport(), Qt::LeftButton, {},
                       CellCentre(row, column));
  }

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  void addingByBrowsingStoresTheFolderAndOpensItsSettings() {
    Write("home/Vorn.ini", "[Configuration]\r\nLangue=3\r\n");  // and no pairs file yet
    Start();
    dialogs_.folders.push_back("/");
    Step<frmSetMode>([](frmSetMode& dialog) {
      QCOMPARE(dialog.lblSource->text(), QString("/"));
      QCOMPARE(dialog.lblCible->text(), QString("???"));
      auto* empty_source = dialog.findChild<QCheckBox*>("chkSourceVide");
      QVERIFY(empty_source != nullptr && !empty_source->isEnabled());
      dialog.chkEffacer->click();  // only removal lets an empty source empty the target
      empty_source->click();
      dialog.cmdOK->click();
    });
    window_->cmdAjouterDossierSource->click();
    QCOMPARE(dialogs_run_, QStringList{"frmSetMode"});
    QCOMPARE(PairsOnDisk(), QStringList{"/ -> "});
    // The addition wrote Effacer; OK wrote its eight keys after it, in order.
    QCOMPARE(Section("Mirror_1"),
             (QStringList{"Effacer=1", "Enable=1", "NbTemporisations=1", "Deplacer=0", "Renommer=0",
                          "Nouveau=0", "NoMilliseconds=0", "SourceVideAutorise=1"}));
    QCOMPARE(window_->lstDossiers->item(0, 2)->text(), QString("???"));
    QVERIFY(!window_->highlighting());  // the reload took the highlight away
  }

  void theDefaultTargetFollowsThePrefixesChosen() {
    Open();
    Step<frmPrefixeCible>([this](frmPrefixeCible& dialog) {
      dialog.Text1->setText(QPath("copy"));
      dialog.Text2->setText("//backup/share");
      dialog.cmdOK->click();
    });
    window_->mnuPrefixeCibleDefaut->trigger();
    QCOMPARE(
        IniMissing({"PrefixeCibleDefaut=" + Path("copy"), "PrefixeCibleDefautUNC=//backup/share"}),
        QString());
    dialogs_.typed = {Path("s0"), "//server/data/x"};
    window_->mnuAjouterSourceSaisir->trigger();
    window_->mnuAjouterSourceSaisir->trigger();
    QCOMPARE(dialogs_run_.size(), 1);  // typing opens no settings dialog
    QCOMPARE(PairsOnDisk().mid(1), (QStringList{QPath("s0") + " -> " + QPath("copy") + QPath("s0"),
                                                "//server/data/x -> //backup/share/x"}));
    QCOMPARE(window_->lstDossiers->rowCount(), 3);
  }

  void modifyingAndRemovingWorkOnTheHighlightedRows() {
    Open({"Enable=1", "Enable=1", "Nouveau=1"});
    window_->cmdModifierDossierSource->click();
    QCOMPARE(LastMessage(), QString("Select a SOURCE folder to modify"));
    window_->cmdSupprimer->click();
    QCOMPARE(PairsOnDisk().size(), 3);

    // A double-click on a target cell changes that target by browsing; onto
    // its own source it is refused and nothing changes.
    dialogs_.folders = {Path("s0"), Path("copy")};
    DoubleClickCell(0, 2);
    QCOMPARE(dialogs_.prompts, std::vector<std::string>{"MODIFY: Select a TARGET folder"});
    QVERIFY(LastMessage().startsWith("Folder pair refused"));
    QCOMPARE(PairsOnDisk().first(), QPath("s0") + " -> " + QPath("t0"));
    DoubleClickCell(0, 2);
    QCOMPARE(PairsOnDisk().first(), QPath("s0") + " -> " + QPath("copy"));

    // The middle row with the Delete key: the third pair becomes the second.
    ClickCell(1, 0);
    dialogs_.answers = {false, true};
    QTest::keyClick(window_->lstDossiers, Qt::Key_Delete);
    QCOMPARE(PairsOnDisk().size(), 3);  // answered No
    QTest::keyClick(window_->lstDossiers, Qt::Key_Delete);
    QCOMPARE(PairsOnDisk(), (QStringList{QPath("s0") + " -> " + QPath("copy"),
                                         QPath("s2") + " -> " + QPath("t2")}));
    QVERIFY(Section("Mirror_2").contains("Nouveau=1"));
    QCOMPARE(window_->lstDossiers->rowCount(), 2);

    // From the last row up to the first: everything goes.
    ClickCell(1, 0);
    ClickCell(0, 0, Qt::ShiftModifier);
    dialogs_.answers = {true};
    window_->mnuSupprimerDossiers->trigger();
    QVERIFY(PairsOnDisk().isEmpty());
    QCOMPARE(window_->lstDossiers->rowCount(), 0);
    QVERIFY(window_->lblBulle1->isVisible());
  }

  void theIntervalColumnOpensThePairSettings() {
    Open({"NbTemporisations=1"}, "[Configuration]\r\nLangue=3\r\nTemporisation=10\r\n");
    Step<frmSetMode>([this](frmSetMode& dialog) {
      QVERIFY(dialog.optTempo0->isChecked() && !dialog.txtMiroirN->isEnabled());
      QVERIFY(dialog.optTempo0->text().contains("(10 seconds)"));
      dialog.optTempo1->click();
      dialog.txtMiroirN->setText("6");
      QCOMPARE(dialog.lblMiroirN2->text(), QString("i.e. 0 h 1 min 0 sec"));
      QVERIFY(dialog.lblErr->isHidden());
      dialog.txtMiroirN->setText("1");
      QVERIFY(!dialog.lblErr->isHidden() && dialog.lblMiroirN2->isHidden());
      dialog.txtMiroirN->setText("64001");
      dialog.cmdOK->click();
      QCOMPARE(LastMessage(), QString("Value must be set between 2 and 64000"));
      QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
      dialog.txtMiroirN->setText("64000");
      dialog.cmdOK->click();
    });
    ClickCell(0, 1);
    QCOMPARE(dialogs_run_, QStringList{"frmSetMode"});
    QVERIFY(Section("Mirror_1").contains("NbTemporisations=64000"));
    QCOMPARE(window_->app().pairs.rows[0].interval_image, IntervalImage::kSpecificInterval);

    // Cancel writes nothing.
    const std::string before = Ini();
    Step<frmSetMode>([](frmSetMode& dialog) {
      dialog.chkEnable->setChecked(false);
      dialog.cmdAnnuler->click();
    });
    ClickCell(0, 1);
    QCOMPARE(Ini(), before);
  }

  // The rules are the core's; here, that a click applies them and OK stores them.
  void aMoveClickAppliesTheMoveConstraints() {
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    FolderPair pair;
    pair.Number = 1;
    pair.Effacer = pair.Nouveau = "1";
    frmSetMode dialog(nullptr, dialogs_, ini, pair, PairRow{}, 10, kFrench, true, true);
    QVERIFY(!dialog.chkRenommer->isEnabled());
    dialog.chkDeplacer->click();
    QVERIFY(dialog.chkRenommer->isEnabled() && !dialog.chkEffacer->isEnabled());
    QVERIFY(!dialog.chkEffacer->isChecked() && !dialog.frameMAJ->isEnabled());
    QVERIFY(dialog.optNouveau0->isChecked());
    dialog.chkRenommer->click();
    dialog.cmdOK->click();
    QCOMPARE(Section("Mirror_1"),
             (QStringList{"Enable=1", "NbTemporisations=1", "Deplacer=1", "Renommer=1",
                          "Effacer=0", "Nouveau=0", "NoMilliseconds=0", "SourceVideAutorise=0"}));
  }

  void theDefaultIntervalKeepsItsLimitsAndRestartsTheCountdown() {
    Open({"Enable=1"}, "[Configuration]\r\nLangue=3\r\nTemporisation=10\r\n");
    QCOMPARE(window_->ProgressBarAttente->maximum(), 9);
    Step<frmTempo>([this](frmTempo& dialog) {
      NumberBox& box = *dialog.UpDown1;
      QCOMPARE(box.Text1->text(), QString("10"));
      box.Text1->setText("1");
      box.down->click();
      QCOMPARE(box.Text1->text(), QString("1"));
      QCOMPARE(box.Label1->text(), QString("Minimal temporisation reached"));
      box.Text1->setText("32766");
      box.up->click();
      box.up->click();
      QCOMPARE(box.Text1->text(), QString("32767"));
      QCOMPARE(box.Label1->text(), QString("Maximal temporisation reached"));
      box.Text1->setText("32768");
      dialog.cmdOK->click();
      QCOMPARE(LastMessage(), QString("Invalid value: 32768"));
      QCOMPARE(dialogs_.messages.back().first, MessageIcon::kCritical);
      QCOMPARE(QString::fromStdString(dialogs_.titles.back()), dialog.windowTitle());
      box.Text1->setText("20");
      dialog.cmdOK->click();
    });
    window_->mnuTempo->trigger();
    QCOMPARE(IniMissing({"Temporisation=20"}), QString());
    QCOMPARE(window_->ProgressBarAttente->maximum(), 19);
    QCOMPARE(window_->scheduler().WaitCounter(), int16_t{20});
  }

  void performanceAndPurgeAreStoredOnlyOnOk() {
    Open();
    Step<frmPerformance>([](frmPerformance& dialog) {
      dialog.HScroll1->setValue(37);
      dialog.cmdAnnuler->click();
    });
    Step<frmPerformance>([](frmPerformance& dialog) {
      QCOMPARE(dialog.HScroll1->value(), 1);
      dialog.HScroll1->setValue(100);
      dialog.cmdOK->click();
    });
    window_->mnuPerformance->trigger();
    QVERIFY(Ini().find("Performance=") == std::string::npos);
    window_->mnuPerformance->trigger();
    QCOMPARE(IniMissing({"Performance=100"}), QString());

    // Days are read as a rounded number within the purge's own limits.
    const struct {
      const char* typed;
      const char* stored;  // nothing: refused
    } cases[] = {{"367", nullptr}, {" 11.5 days", "12"}};
    for (const auto& c : cases) {
      Step<frmPurgeLogs>([&c](frmPurgeLogs& dialog) {
        dialog.chkPurgeLogs->setChecked(true);
        dialog.UpDown1->Text1->setText(c.typed);
        dialog.cmdOK->click();
        if (c.stored == nullptr) dialog.cmdAnnuler->click();
      });
      window_->mnuPurgeLogs->trigger();
      if (c.stored != nullptr) {
        QCOMPARE(IniMissing({std::string("DelaiLogs=") + c.stored}), QString());
      } else {
        QCOMPARE(LastMessage(), QString("Invalid value: ") + c.typed);
        QCOMPARE(dialogs_.titles.back(), std::string("Vorn 2.2i"));
      }
    }
    QCOMPARE(IniMissing({"PurgeLogs=1"}), QString());
    QVERIFY(window_->mnuPurgeLogs->isChecked());
    Step<frmPurgeLogs>([](frmPurgeLogs& dialog) {
      NumberBox& box = *dialog.UpDown1;
      box.Text1->setText("3");
      box.down->click();
      box.down->click();
      QCOMPARE(box.Text1->text(), QString("2"));
      QCOMPARE(box.Label1->text(), QString("Minimal value reached"));
      dialog.chkPurgeLogs->setChecked(false);
      dialog.cmdOK->click();
    });
    window_->mnuPurgeLogs->trigger();
    QCOMPARE(IniMissing({"PurgeLogs=0", "DelaiLogs=2\r\n"}), QString());
    QVERIFY(!window_->mnuPurgeLogs->isChecked());
  }

  void theLogDialogStoresTheFolderAndTheCheckMark() {
    Open();
    MakeFolder("logs/daily");
    Step<frmPathLogs>([this](frmPathLogs& dialog) {
      QVERIFY(dialog.Lecteurs->count() >= 1);
      QCOMPARE(dialog.CurrentPath(), QPath("home"));
      QVERIFY(!dialog.Chemins->isEnabled());
      dialog.chkLogs->click();
      QVERIFY(dialog.Chemins->isEnabled());
      QVERIFY(!dialog.OpenPath(QPath("missing")));
      QVERIFY(dialog.OpenPath(QPath("logs/daily")));
      dialog.chkFichiersLogs->setChecked(true);
      dialog.cmdOK->click();
    });
    Step<frmPathLogs>([](frmPathLogs& dialog) {
      dialog.chkLogs->setChecked(false);
      dialog.cmdOK->click();
    });
    QVERIFY(!window_->mnuDefinirLogs->isChecked());
    window_->mnuDefinirLogs->trigger();
    QVERIFY(window_->mnuDefinirLogs->isChecked());
    QCOMPARE(IniMissing({"Logs=1", "PathLogs=" + Path("logs/daily"), "FichiersLogs=1"}), QString());
    QCOMPARE(window_->app().settings.PathLogs, Path("logs/daily"));
    window_->mnuDefinirLogs->trigger();
    QCOMPARE(IniMissing({"Logs=0"}), QString());
    QVERIFY(!window_->mnuDefinirLogs->isChecked());
  }

  void aVanishedLogFolderStaysTheChoiceAndTheViewerLooksHome() {
    MakeFolder("logs");
    Open({"Enable=1"},
         "[Configuration]\r\nLangue=3\r\n[Logs]\r\nPathLogs=" + QPath("logs").toUtf8() + "\r\n");
    QVERIFY(QDir(QPath("logs")).removeRecursively());
    Step<frmPathLogs>([this](frmPathLogs& dialog) {
      QCOMPARE(dialog.lblDossier->text(), QPath("logs"));
      dialog.cmdOK->click();
    });
    window_->mnuDefinirLogs->trigger();
    QCOMPARE(IniMissing({"PathLogs=" + Path("logs") + "\r\n"}), QString());
    Write("home/Log Vorn 2024-05-01.htm", "<html>");
    window_->mnuVoirLogs->trigger();
    QCOMPARE(opened_, std::vector<std::string>{"file://" + Path("home/Log Vorn 2024-05-01.htm")});
    window_->log_viewer()->close();
  }

  void numbersLabelsAndSmallLayoutsKeepTheirShape() {
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    for (const Language language : {kEnglish, kFrench, kPortuguese}) {
      MirrorSettings settings;
      settings.Langue = language;
      settings.Temporisation = 32766;
      settings.DelaiLogs = 365;
      frmTempo tempo(nullptr, dialogs_, ini, settings, [] {});
      frmPurgeLogs purge(nullptr, dialogs_, ini, settings);
      const std::pair<QDialog*, QLabel*> rows[] = {{&tempo, tempo.lblSecondes},
                                                   {&purge, purge.lblJours}};
      for (const auto& [dialog, unit] : rows) {
        Shown(*dialog);
        NumberBox& box = *dialog->findChild<NumberBox*>("UpDown1");
        const QSize before = dialog->size();
        box.up->click();
        QVERIFY(box.Label1->isVisible());
        QTest::qWait(10);
        QCOMPARE(dialog->size(), before);
        const QFontMetrics metrics = box.Text1->fontMetrics();
        const int room = box.Text1->width() - box.Text1->sizeHint().width() +
                         17 * metrics.horizontalAdvance(QLatin1Char('x'));
        QVERIFY2(room >= metrics.horizontalAdvance(box.Text1->text()),
                 qPrintable(box.Text1->text()));
        QVERIFY(Whole(box.Label1) && Whole(unit));
        QVERIFY(!box.Label1->geometry().intersects(unit->geometry()));
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

    // The pair settings keep their size whatever the count shows.
    FolderPair pair;
    frmSetMode set_mode(nullptr, dialogs_, ini, pair, PairRow{}, 10, kEnglish, true, true);
    Shown(set_mode);
    const QSize before = set_mode.size();
    set_mode.optTempo1->click();
    for (const char* count : {"1", "6", "abc", "6"}) {
      set_mode.txtMiroirN->setText(count);
      QTest::qWait(10);
      QCOMPARE(set_mode.size(), before);
    }

    const std::string path = "/home/user/Documents/Projects/2024/Clients/Northwind/Reports/Q4";
    TextInputBox input(nullptr, "ADD: type a SOURCE folder", path);
    Shown(input);
    auto* line = input.findChild<QLineEdit*>();
    QVERIFY(line->width() >= 60 * line->fontMetrics().averageCharWidth());
    QCOMPARE(line->cursorPosition(), 0);
    QCOMPARE(line->selectedText(), QString::fromStdString(path));
  }

  void theWarningDialogTriesTheMessageAndStoresItsOptions() {
    // A stand-in for the network messenger that writes down what it was asked.
    MakeFolder("bin");
    Write("bin/net", "#!/bin/sh\necho \"$@\" > '" + QPath("net-args").toUtf8() + "'\n");
    QVERIFY(chmod(Path("bin/net").c_str(), 0755) == 0);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QPath("bin").toUtf8() + ":" + path);
    Open({"Enable=1"}, "[Configuration]\r\nLangue=3\r\nErreurDossier=1\r\nErreurDossierSon=1\r\n");
    QVERIFY(window_->mnuDossierErr->isChecked());
    Step<frmAvertirDossierErr>([this](frmAvertirDossierErr& dialog) {
      QVERIFY(dialog.chkDossierErr->isChecked());
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
      for (QCheckBox* box :
           {dialog.chkDossierErr, dialog.chkDossierErrSon, dialog.chkDossierErrNetSend}) {
        box->setChecked(false);
      }
      dialog.cmdOK->click();
    });
    window_->mnuDossierErr->trigger();
    qputenv("PATH", path);
    QCOMPARE(IniMissing({"ErreurDossier=0", "ErreurDossierSon=0", "ErreurDossierNetSend=0",
                         "MessageNetSend=admin Folder missing"}),
             QString());
    QVERIFY(Ini().find("ErreurDossierEventLog") == std::string::npos);
    QVERIFY(!window_->mnuDossierErr->isChecked());
  }

  void theSignaturesEditorSavesIntoTheTableTheEngineUses() {
    Open();
    Step<frmGestionSignatures>([](frmGestionSignatures& dialog) {
      QCOMPARE(dialog.lstSignatures->topLevelItemCount(), 0);  // built-in records never show
      dialog.txtSignature->setText("TEXTttxt");
      dialog.txtExtension->setText("txt");
      dialog.txtType->setText("Text file");
      dialog.cmdAjouter->click();
      dialog.cmdOK->click();
    });
    window_->mnuGestionSignatures->trigger();
    QCOMPARE(dialogs_run_, QStringList{"frmGestionSignatures"});
    QCOMPARE(Read("home/Signatures.txt"), QByteArray("\"TEXTttxt\",\"txt\",\"Text file\"\r\n"));
    QCOMPARE(window_->app().signatures.ExtensionForSignature("TEXTttxt"), std::string("txt"));
    QCOMPARE(window_->app().signatures.records().size(), size_t{1});
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

  void theServiceDialogInstallsAndRemovesTheUnit() {
    MakeFolder("units");
    platform::SystemdOptions options;
    options.unit_folder = Path("units");
    options.executable = "/usr/bin/vorn";
    options.app_folder = Path("home");
    const auto service = platform::MakeSystemdServiceControl(options);
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    MirrorSettings settings;
    settings.Langue = kEnglish;
    std::vector<std::string> effects;
    const ServiceDialogEffects record{
        [&effects](bool on) { effects.push_back(on ? "service" : "application"); },
        [&effects] { effects.push_back("beep"); }, [&effects] { effects.push_back("end"); }};
    const QString unit = QPath("units/vorn.service");
    {
      frmAdminService dialog(nullptr, dialogs_, ini, settings, *service, record);
      dialog.optType1->setChecked(true);
      dialog.cmdInstall->click();
      QVERIFY(QFile::exists(unit));
      QCOMPARE(effects, (std::vector<std::string>{"service", "end"}));
      QVERIFY(LastMessage().startsWith("Vorn Service installed"));
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    {
      frmAdminService dialog(nullptr, dialogs_, ini, settings, *service, record);
      QVERIFY(dialog.optType1->isChecked());  // read back from the unit file
      effects.clear();
      dialog.cmdInstall->click();
      QCOMPARE(dialog.lblService->text(), QString("Vorn Service already installed"));
      QCOMPARE(effects, std::vector<std::string>{"beep"});
      dialog.cmdRemove->click();
      QVERIFY(!QFile::exists(unit));
      QCOMPARE(dialog.lblService->text(), QString("Vorn Service: removed"));
      dialog.cmdRemove->click();
      QCOMPARE(effects, (std::vector<std::string>{"beep", "application", "beep", "application"}));
      QCOMPARE(dialog.lblService->text(), QString("Vorn Service not installed"));
      dialog.chkDossierErrEventLog->click();
    }
    QCOMPARE(IniMissing({"ErreurDossierEventLog=1"}), QString());
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::DialogsTest)
#include "dialogs_test.moc"
