// The main window driven as a person would, offscreen: captions, menus,
// panes, the grid, the hover summary, start and stop, the lower pane's
// listings and the log viewer.

#include <QApplication>
#include <QtTest>

#include "gui/frm_about.h"
#include "gui/log_viewer.h"
#include "gui/window_fixture.h"
#include "ui/folder_listing.h"

namespace vorn::gui {

class FrmMirrorTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

  static QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }
  /// The pointer over a listing, with no button down unless `buttons` says otherwise.
  static QString TipAt(QListWidget* list, const QPoint& at, Qt::MouseButtons buttons = {}) {
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton,
                     buttons, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    return list->toolTip();
  }
  void RunOnePass() {
    window_->cmdMiroir->click();
    window_->cmdMiroir->click();
    QVERIFY(window_->scheduler().Idle());
  }

 private slots:
  void init() { Reset(); }

  void captionsHelpAndTheAboutBoxFollowTheLanguage() {
    Open({"Enable=1"}, "[Configuration]\r\nLangue=1\r\n");
    // One control of each kind the captions reach, the tips, then the message of a missing help.
    const auto shown = [this] {
      return QStringList{window_->mnuFichier->title(),
                         window_->cmdAjouterDossierSource->text(),
                         window_->FrameSources->title(),
                         window_->lblDossiersSources->text(),
                         window_->mnuModifierCibleSaisir->text(),
                         window_->mnuService->text(),
                         window_->PictureMac->toolTip(),
                         window_->cmdMiroir->toolTip()};
    };
    const struct {
      QAction* menu;
      const char* help;
      QStringList texts;
    } languages[] = {
        {window_->mnuFrancais,
         "FRE",
         {"&Fichier", "Ajouter", "Sources", "Dossiers sources (sous-dossiers inclus)", "Saisir",
          "Installer/supprimer Vorn Service [NT]",
          "Indique les dossiers qui appartiennent à un volume Macintosh",
          "Démarre le miroir des dossiers sources vers les dossiers cibles",
          "La documentation n'est pas encore disponible..."}},
        {window_->mnuPortugais,
         "POR",
         {"&Ficheiro", "Inserir", "Entradas", "Pastas de entrada (sub-pastas incluidas)", "Type",
          "Instalar/suprimir Vorn Service [NT]", "Indicar pastas em um Macintosh volume",
          "Começar o miror das pastas de entrada para as pastas de saída",
          "Documentação não disponível..."}},
        {window_->mnuAnglais,
         "ENG",
         {"&File", "Add", "Source", "Source folders (including sub-folders)", "Type",
          "Install/remove Vorn Service [NT]",
          "Point out folders which belong to a Macintosh volume",
          "Start mirroring from source folders to target folders",
          "Documentation not yet available..."}},
    };
    QCOMPARE(shown() << languages[0].texts.last(), languages[0].texts);  // from start-up
    for (int i = 0; i < 3; ++i) {
      languages[i].menu->trigger();
      QVERIFY(languages[i].menu->isChecked() && !languages[(i + 2) % 3].menu->isChecked());
      QCOMPARE(IniMissing({"Langue=" + std::to_string(i + 1)}), QString());
      // Help is the file of the language, never another language's.
      window_->mnuAide->trigger();
      QCOMPARE(shown() << LastMessage(), languages[i].texts);
      const QString help = QString("home/VornHelp%1.htm").arg(languages[i].help);
      Write(help, "<html></html>");
      window_->mnuAide->trigger();
      QCOMPARE(opened_.back(), "file://" + Path(help));
    }

    const auto about = [](Language language) {
      frmAbout box(nullptr, language, false, [](const std::string&) {});
      QStringList texts;
      for (const QLabel* label : box.findChildren<QLabel*>()) texts << label->text();
      return texts;
    };
    const QStringList english = about(kEnglish);
    for (const Language language : {kFrench, kPortuguese}) {
      const QStringList texts = about(language);
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
    QCOMPARE(window_->lblDossiersSources->text(), QString("Source folders"));
    QCOMPARE(window_->mnuEffacement->text(), QString("&Remove old files from target folders"));
    window_->mnuEffacement->trigger();
    QCOMPARE(LastMessage(), QString("WARNING: old files removed from target folders"));
    window_->mnuEffacement->trigger();  // off: no message
    QCOMPARE(dialogs_.messages.size(), size_t{1});
    QCOMPARE(IniMissing({"Effacement=0"}), QString());

    // The security group writes its three keys once for two clicks.
    const int before = fs_->Calls(platform::FsOperation::kReplaceFile);
    window_->mnuCopierSecuriteTout->trigger();
    window_->mnuCopierSecuriteTout->trigger();
    QCOMPARE(fs_->Calls(platform::FsOperation::kReplaceFile) - before, 3);
    window_->mnuCopierSecuriteDossiers->trigger();
    QCOMPARE(IniMissing({"CopierSecuriteTout=0", "CopierSecuriteDossiers=1"}), QString());
    QVERIFY(window_->mnuCopierSecuriteDossiers->isChecked());

    // F2 and F3 choose the lower pane; the same key again brings the legend back.
    QCOMPARE(window_->pane(), LowerPane::kLegend);
    const struct {
      QAction* key;
      LowerPane pane;
      QWidget* shown;
    } steps[] = {{window_->mnuAfficherFichiers, LowerPane::kFileLists, window_->lstFichiersSources},
                 {window_->mnuAfficherLocked, LowerPane::kLocked, window_->lstLocked},
                 {window_->mnuAfficherFichiers, LowerPane::kFileLists, window_->lstFichiersSources},
                 {window_->mnuAfficherFichiers, LowerPane::kLegend, window_->frameLegende}};
    for (const auto& s : steps) {
      s.key->trigger();
      QCOMPARE(window_->pane(), s.pane);
      QVERIFY(s.shown->isVisible());
      QCOMPARE(window_->frameLegende->isVisible(), s.pane == LowerPane::kLegend);
      QCOMPARE(window_->mnuAfficherFichiers->isChecked(), s.pane == LowerPane::kFileLists);
      QCOMPARE(window_->mnuAfficherLocked->isChecked(), s.pane == LowerPane::kLocked);
    }
    QCOMPARE(IniMissing({"AfficherLocked=0", "AfficherFichiers=0"}), QString());
  }

  void gridRowsCarryTheStylesOfTheirSettings() {
    Open({"Deplacer=1\r\nNouveau=1", "Effacer=1\r\nNbTemporisations=4", "Enable=0\r\nDeplacer=1",
          "Enable=1"});
    QVERIFY(QDir(dir_->path()).rmdir("t3"));  // the last pair's target is gone
    Start();
    QTableWidget* grid = window_->lstDossiers;
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

  void highlightedRowsAreModifiedAndRemovedByMouseAndKeyboard() {
    Open({"Enable=1", "Enable=1", "Enable=1", "Enable=1"});
    QTableWidget* grid = window_->lstDossiers;
    QVERIFY(!window_->highlighting());
    window_->cmdModifierDossierSource->click();
    QCOMPARE(LastMessage(), QString("Select a SOURCE folder to modify"));
    ClickCell(1, 0);
    QVERIFY(window_->highlighting());
    QCOMPARE(grid->currentRow(), 1);
    QTest::mouseClick(window_->frameLegende, Qt::LeftButton);  // the background
    QVERIFY(!window_->highlighting());
    QCOMPARE(grid->currentRow(), 0);
    QApplication::setActiveWindow(window_.get());
    window_->cmdMiroir->setFocus();
    QTest::keyClick(window_->cmdMiroir, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(window_->highlighting());
    dialogs_.answers = {true, true, true};
    // Down then Delete, twice: the second time after the reload has put the
    // highlighting off, as a remove does.
    for (const int removed : {1, 2}) {
      QTest::keyClick(grid, Qt::Key_Down);
      QTest::keyClick(grid, Qt::Key_Delete);
      QVERIFY(!Pairs().contains(
          Line(Path("s" + QString::number(removed)), Path("t" + QString::number(removed)))));
    }
    QCOMPARE(Pairs().count('\n'), 2);
    QTest::keyClick(grid, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != grid);
    // A double-click on a target cell changes that target by browsing.
    dialogs_.folders = {Path("copy")};
    ClickCell(0, 2);  // a double-click starts with a press, which the grid needs
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(0, 2));
    QCOMPARE(dialogs_.prompts, std::vector<std::string>{"MODIFY: Select a TARGET folder"});
    QVERIFY(Pairs().startsWith(Line(Path("s0"), Path("copy"))));
    // From the last row up to the first: everything goes.
    ClickCell(1, 0);
    ClickCell(0, 0, Qt::ShiftModifier);
    window_->mnuSupprimerDossiers->trigger();
    QVERIFY(Pairs().isEmpty());
    QCOMPARE(grid->rowCount(), 0);
    QVERIFY(window_->lblBulle1->isVisible());
  }

  void hoveringARowSummarisesIt() {
    Open({"Effacer=1\r\nNbTemporisations=6", "Enable=0"});
    QTest::mouseMove(window_->lstDossiers->viewport(), CellCentre(0, 0));
    QCOMPARE(window_->lblMessage->text(),
             QPath("s0") + " -> " + QPath("t0") +
                 "\nT = 1 min 0 s; remove old target files; update if source and target files "
                 "are different");
    QTest::mouseMove(window_->lstDossiers->viewport(), CellCentre(1, 2));
    QVERIFY(window_->lblMessage->text().contains("[Mirror disabled]"));
    const int below = window_->lstDossiers->viewport()->height() - 2;
    QTest::mouseMove(window_->lstDossiers->viewport(), QPoint(10, below));
    QCOMPARE(window_->lblMessage->text(), QString());
    QCOMPARE(window_->hover_row(), -1);
  }

  void startAndStopSwitchTheCommandsAndTheTrayEvenDuringAPass() {
    Open();
    QSystemTrayIcon* tray = window_->tray();  // none on a desktop without a tray
    window_->cmdMiroir->click();
    QVERIFY(!window_->scheduler().Idle() && window_->Timer1->isActive());
    QVERIFY(!window_->cmdAjouterDossierSource->isEnabled());
    QVERIFY(!window_->mnuQuitter->isEnabled() && !window_->mnuLangue->isEnabled());
    QCOMPARE(window_->mnuDemarrer->text(), QString("&Stop mirroring"));
    QCOMPARE(window_->cmdMiroir->toolTip(), QString("Stop mirroring"));
    QVERIFY(window_->lblMessage->text().contains("Files: 0 created"));
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i - Wait"));
    window_->mnuDemarrer->trigger();
    QVERIFY(window_->scheduler().Idle() && !window_->Timer1->isActive());
    QVERIFY(window_->cmdAjouterDossierSource->isEnabled() && window_->mnuQuitter->isEnabled());
    QCOMPARE(window_->mnuDemarrer->text(), QString("&Start mirroring"));
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i"));
    // A stop pressed during a pass, arriving through the event loop the pass
    // turns at its yields, leaves the timer off.
    for (int i = 0; i < 300; ++i) Write("s0/f" + QString::number(i), "x");
    QTimer::singleShot(0, window_.get(), [this] { window_->cmdMiroir->click(); });
    window_->cmdMiroir->click();
    QVERIFY(window_->scheduler().Idle() && !window_->Timer1->isActive());
    QVERIFY(window_->engine().counters().FilesSeen < 300);
    QVERIFY(window_->lblMessage->text().contains("Files: "));
    window_->mnuQuitter->trigger();  // answered No
    QCOMPARE(QString::fromStdString(dialogs_.questions.back()), QString("Exit program"));
    QVERIFY(window_->isVisible());
  }

  void theWindowOpensWithinTheScreenShowingEveryControl() {
    Open();
    const QSize room = window_->screen()->availableGeometry().size();
    QVERIFY(window_->width() <= std::max(room.width(), window_->minimumSizeHint().width()));
    QVERIFY(window_->height() <= std::max(room.height(), window_->minimumSizeHint().height()));
    QVERIFY(window_->frameGeometry().height() <= room.height());
    const QWidget* central = window_->centralWidget();
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             window_->frameLegende, window_->lblMessage, window_->cmdModifierDossierCible}) {
      const QRect area(control->mapTo(central, QPoint()), control->size());
      QVERIFY2(central->rect().contains(area), qPrintable(control->objectName()));
    }
  }

  void theFileViewListsTheChosenPairWithTips() {
    Open({"Enable=1", "Enable=1"});
    MakeFolder("s0/Sub");
    Write("s0/b.bin", QByteArray(2048, 'b'));
    Write("s0/a.txt", "0123456789");
    QListWidget* list = window_->lstFichiersSources;
    QCOMPARE(list->count(), 0);  // start-up lists nothing
    window_->mnuAfficherFichiers->trigger();
    QCOMPARE(Texts(list), (QStringList{"[.]", "[Sub]", "a.txt", "b.bin"}));
    QCOMPARE(window_->lblNbFichiersSources->text(), "4 files/folders in " + QPath("s0"));
    QCOMPARE(Texts(window_->lstFichiersCibles), QStringList{"[.]"});
    QCOMPARE(window_->lblNbFichiersCibles->text(), "1 files/folders in " + QPath("t0"));

    const auto centre = [list](int row) { return list->visualItemRect(list->item(row)).center(); };
    QCOMPARE(TipAt(list, centre(1)), QString("folder [Sub]"));
    const QString size = QString::fromStdString(FormatFileSize(2048, platform::UserNumberFormat()));
    QCOMPARE(TipAt(list, centre(3)), "b.bin   " + size);
    QCOMPARE(TipAt(list, centre(0), Qt::LeftButton), "b.bin   " + size);  // a drag: unchanged
    QCOMPARE(TipAt(list, QPoint(-5, 5)), QString());
    window_->lstFichiersCibles->clear();
    QCOMPARE(TipAt(window_->lstFichiersCibles, QPoint(5, 5)), QString());

    ClickCell(1, 2);
    QCOMPARE(window_->lblNbFichiersSources->text(), "1 files/folders in " + QPath("s1"));
    QTest::keyClick(window_->lstDossiers, Qt::Key_Up);  // the listing follows the current row
    QCOMPARE(list->count(), 4);
    window_->mnuAfficherFichiers->trigger();  // off: cleared
    QCOMPARE(list->count(), 0);
    QCOMPARE(window_->lblNbFichiersCibles->text(), QString());
  }

  void aPassListsLockedFilesAndRefreshesTheTargetOnlyWhenFilesChanged() {
    Open();
    window_->mnuAfficherFichiers->trigger();
    ClickCell(0, 0);
    Write("t0/extra.txt", "x");  // put there behind the program's back
    Write("s0/Beta.txt", "b");
    Write("s0/alpha.txt", "a");
    fs_->MarkLocked("Beta.txt");
    fs_->MarkLocked("alpha.txt");  // nothing gets copied
    RunOnePass();
    QCOMPARE(Texts(window_->lstLocked), (QStringList{QPath("s0/alpha.txt"), QPath("s0/Beta.txt")}));
    QVERIFY(Texts(window_->lstFichiersSources).contains("alpha.txt"));
    QVERIFY(!Texts(window_->lstFichiersCibles).contains("extra.txt"));
    Write("s0/new.txt", "n");
    RunOnePass();
    QVERIFY(Texts(window_->lstFichiersCibles).contains("extra.txt"));
    QVERIFY(Texts(window_->lstFichiersCibles).contains("new.txt"));
    // The locked view hides the listings without clearing them.
    window_->mnuAfficherLocked->trigger();
    QVERIFY(window_->lstLocked->isVisible() && !window_->lstFichiersSources->isVisible());
    QCOMPARE(window_->lstFichiersSources->count(), 4);
  }

  void theLogViewerListsOpensAndRemovesDays() {
    Open();
    for (const char* day : {"2024-05-01", "2024-05-02", "2024-04-30", "2024-05-03", "2024-05-04",
                            "2024-05-01 copy"}) {
      Write(QString("home/Log Vorn %1.htm").arg(day), "<html>");
    }
    window_->mnuVoirLogs->trigger();
    frmVoirLogs* viewer = window_->log_viewer();
    QCOMPARE(viewer->windowTitle(), QString("Check Logs - [Back to Vorn: close] ->"));
    QStringList dates;
    for (const QLabel* label : viewer->Label) dates << label->text();
    QCOMPARE(dates, (QStringList{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02",
                                 "2024-05-03", "2024-05-04"}));
    // The newest opened at once, the main window left where it was.
    QCOMPARE(opened_, std::vector<std::string>{"file://" + Path("home/Log Vorn 2024-05-04.htm")});
    QVERIFY(frmVoirLogs::WasOpened(viewer->Label.back()) &&
            !frmVoirLogs::WasOpened(viewer->Label[0]));
    QVERIFY(window_->isVisible() && !window_->isMinimized());
    // Four to a row: the fifth starts the second row under the first.
    QCOMPARE(viewer->Label[4]->x(), viewer->Label[0]->x());
    QVERIFY(viewer->Label[4]->y() > viewer->Label[0]->y());
    QCOMPARE(viewer->Label[3]->y(), viewer->Label[0]->y());

    // The copy's date opens the day's own log, and the main window steps aside.
    QTest::mouseClick(viewer->Label[2], Qt::LeftButton);
    QCOMPARE(opened_.back(), "file://" + Path("home/Log Vorn 2024-05-01.htm"));
    QVERIFY(frmVoirLogs::WasOpened(viewer->Label[2]));
    QTRY_VERIFY(!window_->isVisible() || window_->isMinimized());
    window_->mnuFichierVoirLogs->trigger();  // while on screen: the same viewer comes forward
    QCOMPARE(window_->log_viewer(), viewer);

    QTest::mouseClick(viewer->Label[3], Qt::RightButton);
    QCOMPARE(viewer->mnuSupprimerLog->text(), QString("Remove Log '2024-05-02'"));
    viewer->mnuSupprimer->close();
    dialogs_.answers = {false, true};
    viewer->mnuSupprimerLog->trigger();
    QCOMPARE(dialogs_.questions.back(), std::string("Remove Log '2024-05-02'"));
    QVERIFY(QFile::exists(QPath("home/Log Vorn 2024-05-02.htm")) && viewer->Label[3]->isVisible());
    viewer->mnuSupprimerLog->trigger();
    QVERIFY(!QFile::exists(QPath("home/Log Vorn 2024-05-02.htm")));
    QVERIFY(!viewer->Label[3]->isVisible());
    QCOMPARE(viewer->Label[4]->x(), viewer->Label[0]->x());  // the others keep their places
    viewer->VScroll1->setValue(viewer->VScroll1->maximum());
    QVERIFY(!viewer->Label[3]->isVisible());

    // Closing the viewer while the main window is away leaves it away.
    window_->hide();
    viewer->close();
    QVERIFY(!window_->isVisible());
    QTRY_VERIFY(window_->log_viewer() == nullptr);
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::FrmMirrorTest)
#include "frm_mirror_test.moc"
