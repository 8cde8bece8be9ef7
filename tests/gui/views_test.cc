// The lower pane's folder listings and locked list, and the log viewer,
// driven offscreen as a person would.

#include <QtTest>

#include "gui/log_viewer.h"
#include "gui/window_fixture.h"
#include "ui/folder_listing.h"

namespace vorn::gui {

class ViewsTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

  static QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }
  QPoint ItemCentre(QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
  }
  void Hover(QListWidget* list, const QPoint& at, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton,
                     buttons, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
  }
  void RunOnePass() {
    window_->cmdMiroir->click();
    window_->cmdMiroir->click();
    QVERIFY(window_->scheduler().Idle());
  }

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  void theFileViewListsTheChosenPair() {
    Open({"Enable=1", "Enable=1"});
    MakeFolder("s0/Sub");
    Write("s0/b.bin", QByteArray(2048, 'b'));
    Write("s0/a.txt", "0123456789");
    QCOMPARE(window_->lstFichiersSources->count(), 0);  // start-up lists nothing
    window_->mnuAfficherFichiers->trigger();
    QCOMPARE(Texts(window_->lstFichiersSources), (QStringList{"[.]", "[Sub]", "a.txt", "b.bin"}));
    QCOMPARE(window_->lblNbFichiersSources->text(), "4 files/folders in " + QPath("s0"));
    QCOMPARE(Texts(window_->lstFichiersCibles), QStringList{"[.]"});
    QCOMPARE(window_->lblNbFichiersCibles->text(), "1 files/folders in " + QPath("t0"));

    ClickCell(1, 2);
    QCOMPARE(window_->lblNbFichiersSources->text(), "1 files/folders in " + QPath("s1"));
    // The keyboard moves the current row, and the listing follows.
    QTest::keyClick(window_->lstDossiers, Qt::Key_Up);
    QCOMPARE(window_->lstFichiersSources->count(), 4);

    window_->mnuAfficherFichiers->trigger();  // off: cleared
    QCOMPARE(window_->lstFichiersSources->count(), 0);
    QCOMPARE(window_->lblNbFichiersCibles->text(), QString());
    QVERIFY(window_->frameLegende->isVisible());
  }

  void theLockedViewHidesTheListingsWithoutClearingThem() {
    Pairs({"Enable=1"});
    Write("s0/Beta.txt", "b");
    Write("s0/alpha.txt", "a");
    Write("s0/free.txt", "f");
    fs_->MarkLocked("Beta.txt");
    fs_->MarkLocked("alpha.txt");
    Start();
    window_->mnuAfficherFichiers->trigger();
    RunOnePass();
    QCOMPARE(Texts(window_->lstLocked), (QStringList{QPath("s0/alpha.txt"), QPath("s0/Beta.txt")}));
    window_->mnuAfficherLocked->trigger();
    QVERIFY(window_->lstLocked->isVisible() && !window_->lstFichiersSources->isVisible());
    QCOMPARE(window_->lstFichiersSources->count(), 4);
  }

  void tooltipsNameTheEntryUnderThePointer() {
    Open();
    MakeFolder("s0/Images");
    Write("s0/b.bin", QByteArray(2048, 'b'));
    window_->mnuAfficherFichiers->trigger();
    QListWidget* list = window_->lstFichiersSources;
    Hover(list, ItemCentre(list, 1));
    QCOMPARE(list->toolTip(), QString("folder [Images]"));
    Hover(list, ItemCentre(list, 2));
    const QString size = QString::fromStdString(FormatFileSize(2048, platform::UserNumberFormat()));
    QCOMPARE(list->toolTip(), "b.bin   " + size);
    Hover(list, ItemCentre(list, 0), Qt::LeftButton);  // a drag changes nothing
    QCOMPARE(list->toolTip(), "b.bin   " + size);
    Hover(list, QPoint(-5, 5));
    QCOMPARE(list->toolTip(), QString());
    QListWidget* empty = window_->lstFichiersCibles;
    empty->clear();
    Hover(empty, QPoint(5, 5));
    QCOMPARE(empty->toolTip(), QString());
  }

  void aPassRefreshesTheTargetListingOnlyWhenFilesChanged() {
    Open();
    window_->mnuAfficherFichiers->trigger();
    ClickCell(0, 0);
    Write("t0/extra.txt", "x");  // put there behind the program's back
    Write("s0/seen.txt", "s");
    fs_->MarkLocked("seen.txt");  // nothing gets copied
    RunOnePass();
    QVERIFY(Texts(window_->lstFichiersSources).contains("seen.txt"));
    QVERIFY(!Texts(window_->lstFichiersCibles).contains("extra.txt"));
    Write("s0/new.txt", "n");
    RunOnePass();
    QVERIFY(Texts(window_->lstFichiersCibles).contains("extra.txt"));
    QVERIFY(Texts(window_->lstFichiersCibles).contains("new.txt"));
  }

  void theLogViewerListsOpensAndRemovesDays() {
    Pairs({"Enable=1"});
    for (const char* day : {"2024-05-01", "2024-05-02", "2024-04-30", "2024-05-03", "2024-05-04"}) {
      Write(QString("home/Log Vorn %1.htm").arg(day), "<html>");
    }
    Write("home/Log Vorn 2024-05-01 copy.htm", "<html>");
    Start();
    window_->mnuVoirLogs->trigger();
    frmVoirLogs* viewer = window_->log_viewer();
    QCOMPARE(viewer->windowTitle(), QString("Check Logs - [Back to Vorn: close] ->"));
    QStringList dates;
    for (const QLabel* label : viewer->Label) dates << label->text();
    QCOMPARE(dates, (QStringList{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02",
                                 "2024-05-03", "2024-05-04"}));
    // The newest opened at once, the main window left where it was.
    QCOMPARE(opened_, std::vector<std::string>{"file://" + Path("home/Log Vorn 2024-05-04.htm")});
    QVERIFY(frmVoirLogs::WasOpened(viewer->Label.back()));
    QVERIFY(!frmVoirLogs::WasOpened(viewer->Label[0]));
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

    QTest::mouseClick(viewer->Label[3], Qt::RightButton);
    QCOMPARE(viewer->mnuSupprimerLog->text(), QString("Remove Log '2024-05-02'"));
    viewer->mnuSupprimer->close();
    dialogs_.answers = {false, true};
    viewer->mnuSupprimerLog->trigger();
    QCOMPARE(dialogs_.questions.back(), std::string("Remove Log '2024-05-02'"));
    QVERIFY(QFile::exists(QPath("home/Log Vorn 2024-05-02.htm")));
    QVERIFY(viewer->Label[3]->isVisible());
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
  }

  void theLogViewerOfAnEmptyFolderOpensNothing() {
    Open();
    window_->mnuVoirLogs->trigger();
    QVERIFY(window_->log_viewer()->Label.empty());
    QVERIFY(opened_.empty());
    // Opened again while on screen: the same viewer comes forward.
    frmVoirLogs* first = window_->log_viewer();
    window_->mnuFichierVoirLogs->trigger();
    QCOMPARE(window_->log_viewer(), first);
    first->close();
    QTRY_VERIFY(window_->log_viewer() == nullptr);
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::ViewsTest)
#include "views_test.moc"
