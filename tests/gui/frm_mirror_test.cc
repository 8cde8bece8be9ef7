// The main window driven as a person would, offscreen: captions, menus,
// panes, the grid, the hover summary, start and stop.

#include <QApplication>
#include <QtTest>

#include "gui/frm_about.h"
#include "gui/window_fixture.h"

namespace vorn::gui {

class FrmMirrorTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  void captionsAndHelpFollowTheLanguageBackAndForth() {
    Open();
    QCOMPARE(Caption("mnuFichier"), QString("&File"));
    QVERIFY(window_->mnuAnglais->isChecked());
    window_->mnuFrancais->trigger();
    // One control of each kind the captions reach.
    QCOMPARE(Caption("mnuFichier"), QString("&Fichier"));
    QCOMPARE(Caption("cmdAjouterDossierSource"), QString("Ajouter"));
    QCOMPARE(Caption("FrameSources"), QString("Sources"));
    QCOMPARE(Caption("lblDossiersSources"), QString("Dossiers sources (sous-dossiers inclus)"));
    QCOMPARE(Caption("mnuModifierCibleSaisir"), QString("Saisir"));
    QCOMPARE(window_->PictureMac->toolTip(),
             QString("Indique les dossiers qui appartiennent à un volume Macintosh"));
    window_->mnuPortugais->trigger();
    QCOMPARE(Caption("mnuFichier"), QString("&Ficheiro"));
    QCOMPARE(Caption("mnuAjouterSourceParcourir"), QString("Browse"));
    QVERIFY(window_->mnuPortugais->isChecked());
    // Help is the file of the language, never another language's.
    Write("home/VornHelpENG.htm", "<html></html>");
    window_->mnuAide->trigger();
    QVERIFY(opened_.empty());
    QCOMPARE(QString::fromStdString(dialogs_.messages.back().second),
             QString("Documentação não disponível..."));
    Write("home/VornHelpPOR.htm", "<html></html>");
    window_->mnuAide->trigger();
    QCOMPARE(opened_.back(), "file://" + Path("home/VornHelpPOR.htm"));
    window_->mnuFrancais->trigger();
    QCOMPARE(Caption("mnuService"), QString("Installer/supprimer Vorn Service [NT]"));
    QVERIFY(window_->mnuFrancais->isChecked() && !window_->mnuPortugais->isChecked());
    QCOMPARE(IniMissing({"Langue=1"}), QString());
  }

  void aLogFolderNamedWithAHashOpensItsOwnLog() {
    // '#' starts a URL's fragment: pasted into a URL by hand, the folder
    // "logs #2" became "logs " and the browser found nothing.
    MakeFolder("logs #2");
    Write("logs #2/Log Vorn 2024-05-01.htm", "<html>");
    Open({"Enable=1"},
         "[Configuration]\r\nLangue=3\r\n[Logs]\r\nPathLogs=" + QPath("logs #2").toUtf8() + "\r\n");
    window_->mnuVoirLogs->trigger();
    QCOMPARE(opened_.size(), size_t{1});
    const QUrl url(QString::fromStdString(opened_[0]));
    QCOMPARE(url.toLocalFile(), QPath("logs #2/Log Vorn 2024-05-01.htm"));
    QVERIFY(!url.hasFragment());
  }

  void theStartTipAndTheAboutBoxSpeakTheLanguageFromStartUp() {
    Open({"Enable=1"}, "[Configuration]\r\nLangue=1\r\n");
    QCOMPARE(window_->cmdMiroir->toolTip(),
             QString("Démarre le miroir des dossiers sources vers les dossiers cibles"));
    const auto shown = [](Language language) {
      frmAbout about(nullptr, language, false, [](const std::string&) {});
      QStringList texts;
      for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
      return texts;
    };
    const QStringList english = shown(kEnglish);
    for (const Language language : {kFrench, kPortuguese}) {
      const QStringList texts = shown(language);
      QCOMPARE(texts.size(), english.size());
      for (qsizetype i = 0; i < texts.size(); ++i) {
        QVERIFY2(texts[i] != english[i], qPrintable(texts[i]));
      }
    }
  }

  void menuChoicesWriteTheirKeysAtOnceAndChooseThePane() {
    Open();
    window_->mnuCopierAttributs->trigger();
    window_->mnuAutomatique->trigger();
    window_->mnuMiroirSousDossiers->trigger();
    QCOMPARE(IniMissing({"CopierAttributs=1", "Automatique=1", "MiroirSousDossiers=0"}), QString());
    QCOMPARE(Caption("lblDossiersSources"), QString("Source folders"));
    QCOMPARE(Caption("mnuEffacement"), QString("&Remove old files from target folders"));

    window_->mnuEffacement->trigger();
    QCOMPARE(dialogs_.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(dialogs_.messages[0].second),
             QString("WARNING: old files removed from target folders"));
    window_->mnuEffacement->trigger();  // off: no message
    QCOMPARE(dialogs_.messages.size(), size_t{1});
    QCOMPARE(IniMissing({"Effacement=0"}), QString());

    // The security group writes its three keys once for two clicks.
    const int before = fs_->Calls(platform::FsOperation::kReplaceFile);
    window_->mnuCopierSecuriteTout->trigger();
    const int after_first = fs_->Calls(platform::FsOperation::kReplaceFile);
    QCOMPARE(after_first - before, 3);
    window_->mnuCopierSecuriteTout->trigger();
    QCOMPARE(fs_->Calls(platform::FsOperation::kReplaceFile), after_first);
    window_->mnuCopierSecuriteDossiers->trigger();
    QCOMPARE(IniMissing({"CopierSecuriteTout=0", "CopierSecuriteDossiers=1"}), QString());
    QVERIFY(window_->mnuCopierSecuriteDossiers->isChecked());

    // F2 and F3 choose the lower pane.
    QCOMPARE(window_->pane(), LowerPane::kLegend);
    QVERIFY(window_->frameLegende->isVisible());
    window_->mnuAfficherFichiers->trigger();
    QCOMPARE(window_->pane(), LowerPane::kFileLists);
    QVERIFY(window_->lstFichiersSources->isVisible() && !window_->frameLegende->isVisible());
    window_->mnuAfficherLocked->trigger();
    QCOMPARE(window_->pane(), LowerPane::kLocked);
    QVERIFY(!window_->mnuAfficherFichiers->isChecked());
    QCOMPARE(IniMissing({"AfficherFichiers=0", "AfficherLocked=1"}), QString());
    window_->mnuAfficherFichiers->trigger();
    QCOMPARE(window_->pane(), LowerPane::kFileLists);
    QVERIFY(!window_->mnuAfficherLocked->isChecked());
    window_->mnuAfficherFichiers->trigger();
    QCOMPARE(window_->pane(), LowerPane::kLegend);
  }

  void theEmptyListShowsTheGuideAndCannotStart() {
    Write("home/Vorn.ini", "[Configuration]\r\nAfficherLocked=1\r\n");
    Start();
    QCOMPARE(window_->pane(), LowerPane::kGuide);
    QVERIFY(window_->lblBulle1->isVisible());
    QVERIFY(!window_->lblNbDossiers->isVisible() && !window_->lstLocked->isVisible());
    QCOMPARE(Caption("lblBulle2"), QString("2 - define folders"));
    window_->cmdMiroir->click();
    QVERIFY(window_->scheduler().Idle());
    QVERIFY(window_->cmdAjouterDossierSource->isEnabled());
  }

  void gridRowsCarryTheStylesOfTheirSettings() {
    Pairs({"Deplacer=1\r\nNouveau=1", "Effacer=1\r\nNbTemporisations=4", "Enable=0\r\nDeplacer=1",
           "Enable=1"});
    QDir(dir_->path()).rmdir("t3");  // the last pair's target is gone
    Start();
    QTableWidget* grid = window_->lstDossiers;
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(window_->lblNbDossiers->text(), QString("4"));
    QCOMPARE(grid->item(0, 0)->foreground().color(), QColor(255, 0, 0));
    QCOMPARE(grid->item(0, 0)->background().color(), QColor(0, 255, 255));
    QCOMPARE(grid->item(0, 2)->background().color(), QColor(0, 255, 255));
    QCOMPARE(grid->item(1, 2)->foreground().color(), QColor(255, 0, 255));
    QCOMPARE(grid->item(2, 0)->foreground().color(), QColor(128, 128, 128));
    QVERIFY(grid->item(2, 0)->font().strikeOut() && grid->item(2, 2)->font().strikeOut());
    QVERIFY(!grid->item(0, 0)->font().strikeOut());
    QCOMPARE(grid->item(3, 2)->text(), "??? " + QPath("t3"));
    QCOMPARE(grid->item(2, 0)->data(Qt::UserRole).toInt(), 3);
  }

  void highlightingComesWithAClickAndGoesWithTheBackground() {
    Open({"Enable=1", "Enable=1"});
    QVERIFY(!window_->highlighting());
    ClickCell(1, 0);
    QVERIFY(window_->highlighting());
    QCOMPARE(window_->lstDossiers->currentRow(), 1);
    QTest::mouseClick(window_->frameLegende, Qt::LeftButton);
    QVERIFY(!window_->highlighting());
    QCOMPARE(window_->lstDossiers->currentRow(), 0);
    QVERIFY(window_->cmdMiroir->hasFocus() || !window_->isActiveWindow());
  }

  void theKeyboardAloneSelectsAndRemovesPairs() {
    Open({"Enable=1", "Enable=1", "Enable=1"});
    QApplication::setActiveWindow(window_.get());
    window_->cmdMiroir->setFocus();
    QTest::keyClick(window_->cmdMiroir, Qt::Key_Tab);
    QTableWidget* grid = window_->lstDossiers;
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(window_->highlighting());
    dialogs_.answers = {true, true};
    // Down then Delete, twice: the second time after the reload has put the
    // highlighting off, as a remove does.
    for (const int removed : {1, 2}) {
      QTest::keyClick(grid, Qt::Key_Down);
      QTest::keyClick(grid, Qt::Key_Delete);
      QVERIFY(!PairsOnDisk().join(' ').contains(QPath("s" + QString::number(removed)) + " "));
    }
    QCOMPARE(PairsOnDisk().size(), 1);
    QTest::keyClick(grid, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != grid);
  }

  void hoveringARowSummarisesItWhileStopped() {
    Open({"Effacer=1\r\nNbTemporisations=6", "Enable=0"});
    QTest::mouseMove(window_->lstDossiers->viewport(), CellCentre(0, 0));
    QCOMPARE(window_->lblMessage->text(),
             QPath("s0") + " -> " + QPath("t0") +
                 "\nT = 1 min 0 s; remove old target files; update if source "
                 "and target files "
                 "are different");
    QCOMPARE(window_->hover_row(), 0);
    QTest::mouseMove(window_->lstDossiers->viewport(), CellCentre(1, 2));
    QVERIFY(window_->lblMessage->text().contains("[Mirror disabled]"));
    const int below = window_->lstDossiers->viewport()->height() - 2;
    QTest::mouseMove(window_->lstDossiers->viewport(), QPoint(10, below));
    QCOMPARE(window_->lblMessage->text(), QString());
    QCOMPARE(window_->hover_row(), -1);
  }

  void startAndStopSwitchTheCommandsAndTheTray() {
    Open();
    QSystemTrayIcon* tray = window_->tray();  // none on a desktop without a tray
    window_->cmdMiroir->click();
    QVERIFY(!window_->scheduler().Idle());
    QVERIFY(!window_->cmdAjouterDossierSource->isEnabled());
    QVERIFY(!window_->mnuQuitter->isEnabled() && !window_->mnuLangue->isEnabled());
    QCOMPARE(window_->mnuDemarrer->text(), QString("&Stop mirroring"));
    QCOMPARE(window_->cmdMiroir->toolTip(), QString("Stop mirroring"));
    QVERIFY(window_->Timer1->isActive());
    QVERIFY(window_->lblMessage->text().contains("Files: 0 created"));
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i - Wait"));
    window_->mnuDemarrer->trigger();
    QVERIFY(window_->scheduler().Idle());
    QVERIFY(window_->cmdAjouterDossierSource->isEnabled() && window_->mnuQuitter->isEnabled());
    QCOMPARE(window_->mnuDemarrer->text(), QString("&Start mirroring"));
    QVERIFY(!window_->Timer1->isActive());
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i"));

    dialogs_.answers = {false};
    window_->mnuQuitter->trigger();
    QCOMPARE(QString::fromStdString(dialogs_.questions.back()), QString("Exit program"));
    QVERIFY(window_->isVisible());
  }

  void aStopPressedDuringAPassLeavesTheTimerOff() {
    Pairs({"Enable=1"});
    for (int i = 0; i < 300; ++i) Write("s0/f" + QString::number(i), "x");
    Start();
    // The stop click arrives through the event loop the pass turns at its
    // yields.
    QTimer::singleShot(0, window_.get(), [this] { window_->cmdMiroir->click(); });
    window_->cmdMiroir->click();
    QVERIFY(window_->scheduler().Idle());
    QVERIFY(!window_->Timer1->isActive());
    QVERIFY(window_->engine().counters().FilesSeen < 300);
    QVERIFY(window_->lblMessage->text().contains("Files: "));
  }

  void theWindowOpensWithinTheScreenShowingEveryControl() {
    Open();
    const QSize room = window_->screen()->availableGeometry().size();
    QVERIFY(window_->width() <= std::max(room.width(), window_->minimumSizeHint().width()));
    QVERIFY(window_->height() <= std::max(room.height(), window_->minimumSizeHint().height()));
    QVERIFY(window_->frameGeometry().height() <= room.height());
    const QWidget* central = window_->centralWidget();
    for (const QWidget* control :
         {static_cast<QWidget*>(window_->frameLegende), static_cast<QWidget*>(window_->lblMessage),
          static_cast<QWidget*>(window_->cmdModifierDossierCible)}) {
      const QRect area(control->mapTo(central, QPoint()), control->size());
      QVERIFY2(central->rect().contains(area), qPrintable(control->objectName()));
    }
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::FrmMirrorTest)
#include "frm_mirror_test.moc"
