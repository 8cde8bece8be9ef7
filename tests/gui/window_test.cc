// The main window and its dialogs driven as a person would, offscreen, over a
// temporary application folder, with fakes for the outside world and scripted
// answers for every modal exchange; the files are read back from disk.

#include <sys/stat.h>

#include <QApplication>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <tuple>

#include "config/hex_path.h"
#include "gui/frm_about.h"
#include "gui/frm_mirror.h"
#include "gui/log_dialogs.h"
#include "gui/log_viewer.h"
#include "gui/qt_dialogs.h"
#include "gui/service_dialogs.h"
#include "gui/settings_dialogs.h"
#include "gui/signatures_dialog.h"
#include "platform/fault_injecting_file_system.h"
#include "runtime/main_window_texts.h"
#include "support/fakes.h"
#include "ui/folder_listing.h"

namespace vorn::gui {

class WindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::FileSystem> real_fs_ = platform::MakePosixFileSystem();
  std::unique_ptr<platform::FaultInjectingFileSystem> fs_;
  vorn::testing::FakeServiceControl service_;
  vorn::testing::FakeClock clock_;
  vorn::testing::ScriptedDialogs dialogs_;
  std::vector<std::string> opened_;  ///< the URLs handed to the desktop
  /// Work the next dialogs the window runs, in order; one with no step left is cancelled.
  std::deque<std::function<void(QDialog&)>> dialog_steps_;
  int dialogs_run_ = 0;  ///< how many the window ran
  std::unique_ptr<frmMirror> window_;

  QString QPath(const QString& relative) const { return dir_->path() + "/" + relative; }
  std::string Path(const QString& relative) const { return QPath(relative).toStdString(); }
  void Write(const QString& relative, const QByteArray& content) {
    QFile file(QPath(relative));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
  }
  QByteArray Read(const QString& relative) {
    QFile file(QPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void MakeFolder(const QString& relative) { QVERIFY(QDir(dir_->path()).mkpath(relative)); }
  QByteArray Pairs() { return Read("home/Vorn.w"); }
  std::string Ini() { return Read("home/Vorn.ini").toStdString(); }
  /// Fails on each of these texts the settings file lacks.
  void ExpectIni(std::initializer_list<std::string> texts) {
    const std::string ini = Ini();
    for (const std::string& text : texts) QVERIFY2(ini.find(text) != ini.npos, text.c_str());
  }
  /// A line of the pairs file.
  static QByteArray Line(const std::string& source, const std::string& target) {
    return "\"" + QByteArray::fromStdString(EncodeHexPath(source)) + "\",\"" +
           QByteArray::fromStdString(EncodeHexPath(target)) + "\"\r\n";
  }

  /// Pairs over folders s<i> -> t<i>, each with its settings section, and the window over them.
  void Open(const QStringList& sections = {"Enable=1"},
            const QByteArray& configuration = "[Configuration]\r\nLangue=3\r\n") {
    QByteArray pairs, ini = configuration;
    for (int i = 0; i < sections.size(); ++i) {
      const QString n = QString::number(i);
      MakeFolder("s" + n);
      MakeFolder("t" + n);
      pairs += Line(Path("s" + n), Path("t" + n));
      ini += "[Mirror_" + QByteArray::number(i + 1) + "]\r\n" + sections[i].toUtf8() + "\r\n";
    }
    if (!sections.isEmpty()) Write("home/Vorn.w", pairs);
    Write("home/Vorn.ini", ini);
    Start();
  }
  /// The window over the files as they are.
  void Start() {
    window_ = std::make_unique<frmMirror>(MainWindowServices{
        *fs_, service_, clock_, dialogs_,
        [this](const QUrl& url) { opened_.push_back(url.toString().toStdString()); },
        [this](QDialog& dialog) {
          ++dialogs_run_;
          dialog.setResult(QDialog::Rejected);
          if (dialog_steps_.empty()) return int(QDialog::Rejected);
          const auto step = std::move(dialog_steps_.front());
          dialog_steps_.pop_front();
          step(dialog);
          return dialog.result();
        }});
    ProgramOptions options;
    options.home = Path("home");
    QVERIFY(window_->Load(options));
    window_->show();
  }
  /// Works the next dialog the window runs, which must be a `Dialog`.
  template <typename Dialog>
  void Step(std::function<void(Dialog&)> work) {
    dialog_steps_.push_back([work](QDialog& dialog) {
      auto* typed = qobject_cast<Dialog*>(&dialog);
      QVERIFY2(typed != nullptr, qPrintable(dialog.objectName()));
      work(*typed);
    });
  }
  QString LastMessage() const {
    return dialogs_.messages.empty() ? QString()
                                     : QString::fromStdString(dialogs_.messages.back().second);
  }

  QPoint CellCentre(int row, int column) {
    return window_->lstDossiers->visualRect(window_->lstDossiers->model()->index(row, column))
        .center();
  }
  void ClickCell(int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(window_->lstDossiers->viewport(), Qt::LeftButton, modifiers,
                      CellCentre(row, column));
  }
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

  /// Shown and laid out, as a person sees it.
  static void Shown(QWidget& widget) {
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
  }
  /// Whether a label has all the room its text needs.
  static bool Whole(const QLabel* label) { return label->width() >= label->sizeHint().width(); }

 private slots:
  void init() {
    window_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    MakeFolder("home");
    fs_ = std::make_unique<platform::FaultInjectingFileSystem>(*real_fs_);
    dialogs_ = {};
    opened_.clear();
    dialog_steps_.clear();
    dialogs_run_ = 0;
  }

  // Every caption the language gives the main window, checked on its control.
  // Qt's own buttons are checked where its translations are installed.
  void captionsHelpButtonsAndTheAboutBoxFollowTheLanguage() {
    Open({"Enable=1"}, "[Configuration]\r\nLangue=1\r\n");
    frmMirror& w = *window_;
    const auto captioned = [&w](Language language) {
      for (const ControlText& caption : MainWindowCaptions(language, true, SystemFamily::kNt)) {
        const QObject* control = w.findChild<QObject*>(QString::fromStdString(caption.control));
        QVERIFY2(control != nullptr, caption.control.c_str());
        const char* property = caption.tooltip                        ? "toolTip"
                               : control->property("title").isValid() ? "title"
                                                                      : "text";
        QCOMPARE(control->property(property).toString(), ToQt(caption.text));
      }
    };
    captioned(kFrench);  // from start-up
    const QString qt_texts = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const bool translated =
        QFile::exists(qt_texts + "/qtbase_fr.qm") && QFile::exists(qt_texts + "/qtbase_pt_BR.qm");
    const struct {
      QAction* menu;
      Language language;
      const char* help;
      QStringList buttons;
    } languages[] = {{w.mnuFrancais, kFrench, "FRE", {"&Oui", "&Non"}},
                     {w.mnuPortugais, kPortuguese, "POR", {"&Sim", "&Não"}},
                     {w.mnuAnglais, kEnglish, "ENG", {"&Yes", "&No"}}};
    for (int i = 0; i < 3; ++i) {
      const auto& l = languages[i];
      l.menu->trigger();
      QVERIFY(l.menu->isChecked() && !languages[(i + 2) % 3].menu->isChecked());
      ExpectIni({"Langue=" + std::to_string(i + 1)});
      captioned(l.language);
      // Help is the file of the language, never another language's.
      w.mnuAide->trigger();
      QCOMPARE(LastMessage(), ToQt(Tr(MainWindowText::kNoHelp, l.language)));
      const QString help = QString("home/VornHelp%1.htm").arg(l.help);
      Write(help, "<html></html>");
      w.mnuAide->trigger();
      QCOMPARE(opened_.back(), "file://" + Path(help));
      if (!translated) continue;
      QStringList buttons;
      // Read and answered from inside its own event loop, so the test never waits on it.
      QTimer::singleShot(0, this, [&buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        buttons << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
      });
      QVERIFY(!QtDialogs().AskYesNo("?"));
      QCOMPARE(buttons, l.buttons);
    }
    const auto about = [](Language language) {
      frmAbout box(nullptr, language, false, [](const std::string&) {});
      QStringList texts;
      for (const QLabel* label : box.findChildren<QLabel*>()) texts << label->text();
      return texts;
    };
    for (const Language language : {kFrench, kPortuguese}) {
      const QStringList texts = about(language), english = about(kEnglish);
      QCOMPARE(texts.size(), english.size());
      for (qsizetype i = 0; i < texts.size(); ++i) QVERIFY(texts[i] != english[i]);
    }
    if (!translated) QSKIP("Qt's own translations (qt6-translations-l10n) are not installed");
  }

  // Menu choices write their keys at once; F2 and F3 choose the lower pane,
  // the same key again bringing the legend back.
  void menuChoicesWriteTheirKeysAtOnceAndChooseThePane() {
    Open();
    frmMirror& w = *window_;
    for (QAction* menu : {w.mnuCopierAttributs, w.mnuAutomatique, w.mnuMiroirSousDossiers,
                          w.mnuCopierSecuriteTout, w.mnuCopierSecuriteDossiers}) {
      menu->trigger();
    }
    ExpectIni({"CopierAttributs=1", "Automatique=1", "MiroirSousDossiers=0", "CopierSecuriteTout=0",
               "CopierSecuriteDossiers=1"});
    QVERIFY(w.mnuCopierSecuriteDossiers->isChecked());
    QCOMPARE(w.lblDossiersSources->text(), QString("Source folders"));
    QCOMPARE(w.mnuEffacement->text(), QString("&Remove old files from target folders"));
    w.mnuEffacement->trigger();
    QCOMPARE(LastMessage(), QString("WARNING: old files removed from target folders"));
    w.mnuEffacement->trigger();  // off: no message
    QCOMPARE(dialogs_.messages.size(), size_t{1});
    ExpectIni({"Effacement=0"});
    QCOMPARE(w.pane(), LowerPane::kLegend);
    const std::tuple<QAction*, LowerPane, QWidget*> steps[] = {
        {w.mnuAfficherFichiers, LowerPane::kFileLists, w.lstFichiersSources},
        {w.mnuAfficherLocked, LowerPane::kLocked, w.lstLocked},
        {w.mnuAfficherFichiers, LowerPane::kFileLists, w.lstFichiersSources},
        {w.mnuAfficherFichiers, LowerPane::kLegend, w.frameLegende}};
    for (const auto& [key, pane, shown] : steps) {
      key->trigger();
      QVERIFY(w.pane() == pane && shown->isVisible());
      QCOMPARE(w.frameLegende->isVisible(), pane == LowerPane::kLegend);
      QCOMPARE(w.mnuAfficherFichiers->isChecked(), pane == LowerPane::kFileLists);
      QCOMPARE(w.mnuAfficherLocked->isChecked(), pane == LowerPane::kLocked);
    }
    ExpectIni({"AfficherLocked=0", "AfficherFichiers=0"});
  }

  void gridRowsCarryTheStylesOfTheirSettingsAndHoveringSummarisesThem() {
    Open({"Deplacer=1\r\nNouveau=1", "Effacer=1\r\nNbTemporisations=4", "Enable=0\r\nDeplacer=1",
          "Enable=1"});
    QVERIFY(QDir(dir_->path()).rmdir("t3"));  // the last pair's target is gone
    Start();
    frmMirror& w = *window_;
    const auto cell = [&w](int row, int column) { return w.lstDossiers->item(row, column); };
    QCOMPARE(w.lblNbDossiers->text(), QString("4"));
    QCOMPARE(cell(0, 0)->foreground().color(), QColor(255, 0, 0));
    QCOMPARE(cell(0, 0)->background().color(), QColor(0, 255, 255));
    QCOMPARE(cell(0, 2)->background().color(), QColor(0, 255, 255));
    QCOMPARE(cell(1, 2)->foreground().color(), QColor(255, 0, 255));
    QCOMPARE(cell(2, 0)->foreground().color(), QColor(128, 128, 128));
    QVERIFY(cell(2, 0)->font().strikeOut() && cell(2, 2)->font().strikeOut());
    QVERIFY(!cell(0, 0)->font().strikeOut());
    QCOMPARE(cell(3, 2)->text(), "??? " + QPath("t3"));
    QCOMPARE(cell(2, 0)->data(Qt::UserRole).toInt(), 3);
    QWidget* viewport = w.lstDossiers->viewport();
    QTest::mouseMove(viewport, CellCentre(1, 0));
    QCOMPARE(w.lblMessage->text(), QPath("s1") + " -> " + QPath("t1") +
                                       "\nT = 40 s; remove old target files; update if source "
                                       "and target files are different");
    QTest::mouseMove(viewport, CellCentre(2, 2));
    QVERIFY(w.lblMessage->text().contains("[Mirror disabled]"));
    QTest::mouseMove(viewport, QPoint(10, viewport->height() - 2));
    QVERIFY(w.lblMessage->text().isEmpty() && w.hover_row() == -1);
  }

  void highlightedRowsAreModifiedAndRemovedByMouseAndKeyboard() {
    Open({"Enable=1", "Enable=1", "Enable=1", "Enable=1"});
    frmMirror& w = *window_;
    QTableWidget* grid = w.lstDossiers;
    QVERIFY(!w.highlighting());
    w.cmdModifierDossierSource->click();
    QCOMPARE(LastMessage(), QString("Select a SOURCE folder to modify"));
    ClickCell(1, 0);
    QVERIFY(w.highlighting() && grid->currentRow() == 1);
    QTest::mouseClick(w.frameLegende, Qt::LeftButton);  // the background
    QVERIFY(!w.highlighting() && grid->currentRow() == 0);
    QApplication::setActiveWindow(&w);
    w.cmdMiroir->setFocus();
    QTest::keyClick(w.cmdMiroir, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() == grid && w.highlighting());
    dialogs_.answers = {true, true, true};
    // Down then Delete, twice: the second time after the reload has put the
    // highlighting off, as a remove does.
    for (const QString removed : {"1", "2"}) {
      QTest::keyClick(grid, Qt::Key_Down);
      QTest::keyClick(grid, Qt::Key_Delete);
      QVERIFY(!Pairs().contains(Line(Path("s" + removed), Path("t" + removed))));
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
    w.mnuSupprimerDossiers->trigger();
    QVERIFY(Pairs().isEmpty() && grid->rowCount() == 0 && w.lblBulle1->isVisible());
  }

  // The window fits the screen with every control inside it; start and stop
  // switch the commands and the tray, a stop during a pass included.
  void theWindowFitsTheScreenAndStartStopSwitchesTheCommandsEvenDuringAPass() {
    Open();
    frmMirror& w = *window_;
    const QSize room = w.screen()->availableGeometry().size();
    QVERIFY(w.width() <= std::max(room.width(), w.minimumSizeHint().width()));
    QVERIFY(w.height() <= std::max(room.height(), w.minimumSizeHint().height()));
    QVERIFY(w.frameGeometry().height() <= room.height());
    const QWidget* central = w.centralWidget();
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             w.frameLegende, w.lblMessage, w.cmdModifierDossierCible}) {
      const QRect area(control->mapTo(central, QPoint()), control->size());
      QVERIFY2(central->rect().contains(area), qPrintable(control->objectName()));
    }
    QSystemTrayIcon* tray = w.tray();  // none on a desktop without a tray
    w.cmdMiroir->click();
    QVERIFY(!w.scheduler().Idle() && w.Timer1->isActive() && !w.mnuLangue->isEnabled());
    QVERIFY(!w.mnuQuitter->isEnabled() && !w.cmdAjouterDossierSource->isEnabled());
    QCOMPARE(w.mnuDemarrer->text(), QString("&Stop mirroring"));
    QCOMPARE(w.cmdMiroir->toolTip(), QString("Stop mirroring"));
    QVERIFY(w.lblMessage->text().contains("Files: 0 created"));
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i - Wait"));
    w.mnuDemarrer->trigger();
    QVERIFY(w.scheduler().Idle() && !w.Timer1->isActive() && w.mnuQuitter->isEnabled());
    QVERIFY(w.cmdAjouterDossierSource->isEnabled());
    QCOMPARE(w.mnuDemarrer->text(), QString("&Start mirroring"));
    if (tray != nullptr) QCOMPARE(tray->toolTip(), QString("Vorn 2.2i"));
    // A stop pressed during a pass, arriving through the event loop the pass
    // turns at its yields, leaves the timer off.
    for (int i = 0; i < 300; ++i) Write("s0/f" + QString::number(i), "x");
    QTimer::singleShot(0, &w, [&w] { w.cmdMiroir->click(); });
    w.cmdMiroir->click();
    QVERIFY(w.scheduler().Idle() && !w.Timer1->isActive());
    QVERIFY(w.engine().counters().FilesSeen < 300 && w.lblMessage->text().contains("Files: "));
    w.mnuQuitter->trigger();  // answered No
    QCOMPARE(QString::fromStdString(dialogs_.questions.back()), QString("Exit program"));
    QVERIFY(w.isVisible());
  }

  // The first pair is left out of the passes, so only the second one's files change.
  void theFileViewListsTheChosenPairWithTipsAndAPassWhatItFoundLocked() {
    Open({"Enable=0", "Enable=1"});
    frmMirror& w = *window_;
    MakeFolder("s0/Sub");
    Write("s0/b.bin", QByteArray(2048, 'b'));
    Write("s0/a.txt", "0123456789");
    QListWidget *list = w.lstFichiersSources, *targets = w.lstFichiersCibles;
    QCOMPARE(list->count(), 0);  // start-up lists nothing
    w.mnuAfficherFichiers->trigger();
    QCOMPARE(Texts(list), (QStringList{"[.]", "[Sub]", "a.txt", "b.bin"}));
    QCOMPARE(w.lblNbFichiersSources->text(), "4 files/folders in " + QPath("s0"));
    QCOMPARE(w.lblNbFichiersCibles->text(), "1 files/folders in " + QPath("t0"));
    const auto centre = [list](int row) { return list->visualItemRect(list->item(row)).center(); };
    QCOMPARE(TipAt(list, centre(1)), QString("folder [Sub]"));
    const QString size = QString::fromStdString(FormatFileSize(2048, platform::UserNumberFormat()));
    QCOMPARE(TipAt(list, centre(3)), "b.bin   " + size);
    QCOMPARE(TipAt(list, centre(0), Qt::LeftButton), "b.bin   " + size);  // a drag: unchanged
    QCOMPARE(TipAt(list, QPoint(-5, 5)), QString());
    targets->clear();
    QCOMPARE(TipAt(targets, QPoint(5, 5)), QString());
    ClickCell(1, 2);
    QCOMPARE(w.lblNbFichiersSources->text(), "1 files/folders in " + QPath("s1"));
    // A pass lists the locked files, and reads the target again only when files changed.
    Write("t1/extra.txt", "x");  // put there behind the program's back
    Write("s1/Beta.txt", "b");
    Write("s1/alpha.txt", "a");
    fs_->MarkLocked("Beta.txt");
    fs_->MarkLocked("alpha.txt");  // nothing gets copied
    RunOnePass();
    QCOMPARE(Texts(w.lstLocked), (QStringList{QPath("s1/alpha.txt"), QPath("s1/Beta.txt")}));
    QVERIFY(Texts(list).contains("alpha.txt") && !Texts(targets).contains("extra.txt"));
    Write("s1/new.txt", "n");
    RunOnePass();
    QVERIFY(Texts(targets).contains("extra.txt") && Texts(targets).contains("new.txt"));
    // The locked view hides the listings without clearing them.
    w.mnuAfficherLocked->trigger();
    QVERIFY(w.lstLocked->isVisible() && !list->isVisible() && list->count() == 4);
    w.mnuAfficherFichiers->trigger();
    QTest::keyClick(w.lstDossiers, Qt::Key_Up);  // the listing follows the current row
    QCOMPARE(w.lblNbFichiersSources->text(), "4 files/folders in " + QPath("s0"));
    w.mnuAfficherFichiers->trigger();  // off: cleared
    QVERIFY(list->count() == 0 && w.lblNbFichiersCibles->text().isEmpty());
  }

  // '#' starts a URL's fragment: pasted into a URL by hand, the folder
  // "logs #2" became "logs " and the browser found nothing.
  void theLogViewerListsOpensAndRemovesTheDaysOfTheChosenFolder() {
    MakeFolder("logs #2");
    for (const char* day : {"2024-05-01", "2024-05-02", "2024-04-30", "2024-05-03", "2024-05-04",
                            "2024-05-01 copy"}) {
      Write(QString("logs #2/Log Vorn %1.htm").arg(day), "<html>");
    }
    Open({"Enable=1"},
         "[Configuration]\r\nLangue=3\r\n[Logs]\r\nPathLogs=" + QPath("logs #2").toUtf8() + "\r\n");
    const auto opened = [this] {
      return QUrl(QString::fromStdString(opened_.back())).toLocalFile();
    };
    window_->mnuVoirLogs->trigger();
    frmVoirLogs* viewer = window_->log_viewer();
    QCOMPARE(viewer->windowTitle(), QString("Check Logs - [Back to Vorn: close] ->"));
    QStringList dates;
    for (const QLabel* label : viewer->Label) dates << label->text();
    QCOMPARE(dates, (QStringList{"2024-04-30", "2024-05-01", "2024-05-01", "2024-05-02",
                                 "2024-05-03", "2024-05-04"}));
    // The newest opened at once, the main window left where it was.
    QCOMPARE(opened_.size(), size_t{1});
    QCOMPARE(opened(), QPath("logs #2/Log Vorn 2024-05-04.htm"));
    QVERIFY(frmVoirLogs::WasOpened(viewer->Label.back()) &&
            !frmVoirLogs::WasOpened(viewer->Label[0]));
    QVERIFY(window_->isVisible() && !window_->isMinimized());
    // Four to a row: the fifth starts the second row under the first.
    QVERIFY(viewer->Label[4]->x() == viewer->Label[0]->x() &&
            viewer->Label[3]->y() == viewer->Label[0]->y());

    // The copy's date opens the day's own log, and the main window steps aside.
    QTest::mouseClick(viewer->Label[2], Qt::LeftButton);
    QCOMPARE(opened(), QPath("logs #2/Log Vorn 2024-05-01.htm"));
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
    QVERIFY(QFile::exists(QPath("logs #2/Log Vorn 2024-05-02.htm")));
    QVERIFY(viewer->Label[3]->isVisible());
    viewer->mnuSupprimerLog->trigger();
    QVERIFY(!QFile::exists(QPath("logs #2/Log Vorn 2024-05-02.htm")));
    QVERIFY(!viewer->Label[3]->isVisible());
    QCOMPARE(viewer->Label[4]->x(), viewer->Label[0]->x());  // the others keep their places
    viewer->VScroll1->setValue(viewer->VScroll1->maximum());
    QVERIFY(!viewer->Label[3]->isVisible());

    // Closing the viewer while the main window is away leaves it away.
    window_->hide();
    viewer->close();
    QVERIFY(!window_->isVisible());
    QTRY_VERIFY(window_->log_viewer() == nullptr);

    // Gone, the folder stays the choice and the viewer looks home.
    QVERIFY(QDir(QPath("logs #2")).removeRecursively());
    for (const size_t days : {0, 1}) {
      window_->mnuVoirLogs->trigger();
      QCOMPARE(window_->log_viewer()->Label.size(), days);
      window_->log_viewer()->close();
      QTRY_VERIFY(window_->log_viewer() == nullptr);
      Write("home/Log Vorn 2024-05-02.htm", "<html>");
    }
    QCOMPARE(opened_.size(), size_t{3});
    QCOMPARE(opened(), QPath("home/Log Vorn 2024-05-02.htm"));
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
    ExpectIni({"PathLogs=" + Path("logs/daily") + "\r\n"});
    QCOMPARE(window_->app().settings.PathLogs, Path("logs/daily"));
  }

  // Adding by browsing opens the new pair's settings; its interval column
  // opens them again. The dialog keeps its size whatever the count shows.
  void anEmptyListShowsTheGuideAndThePairSettingsStoreOnlyOnOk() {
    Open({}, "[Configuration]\r\nLangue=3\r\nAfficherLocked=1\r\nTemporisation=10\r\n");
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
      dialog.optNouveau1->click();
      dialog.cmdOK->click();
    });
    window_->cmdAjouterDossierSource->click();
    QCOMPARE(Pairs(), Line("/", ""));
    ExpectIni({"Effacer=1", "NbTemporisations=1", "Nouveau=1", "SourceVideAutorise=1"});
    QVERIFY(!window_->highlighting());  // the reload took the highlight away
    QCOMPARE(window_->pane(), LowerPane::kLocked);

    Step<frmSetMode>([this](frmSetMode& dialog) {
      Shown(dialog);
      const QSize size = dialog.size();
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
      // Moving takes removal and the update rule along, and allows renaming.
      dialog.chkDeplacer->click();
      QVERIFY(!dialog.chkEffacer->isEnabled() && !dialog.frameMAJ->isEnabled());
      dialog.chkRenommer->click();
      dialog.cmdOK->click();
    });
    ClickCell(0, 1);
    ExpectIni({"NbTemporisations=64000", "Deplacer=1", "Renommer=1", "Effacer=0", "Nouveau=0"});
    QCOMPARE(window_->app().pairs.rows[0].interval_image, IntervalImage::kSpecificInterval);
    const std::string before = Ini();
    Step<frmSetMode>([](frmSetMode& dialog) {
      dialog.chkEnable->setChecked(false);
      dialog.cmdAnnuler->click();
    });
    ClickCell(0, 1);
    QCOMPARE(Ini(), before);
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
        {window_->mnuPrefixeCibleDefaut, {{"Text1", QPath("copy")}, {"Text2", "//backup/share"}},
         {"PrefixeCibleDefaut=" + Path("copy"), "PrefixeCibleDefautUNC=//backup/share"}, nullptr},
        {window_->mnuTempo, {{"Text1", "20"}}, {"Temporisation=20"}, "32768"},
        {window_->mnuPerformance, {{"HScroll1", "100"}}, {"Performance=100"}, nullptr},
        {window_->mnuPurgeLogs, {{"chkPurgeLogs", "true"}, {"Text1", " 11.5 days"}},
         {"PurgeLogs=1", "DelaiLogs=12"}, "367"},
        {window_->mnuPurgeLogs, {{"chkPurgeLogs", "false"}}, {"PurgeLogs=0"}, nullptr},
        {window_->mnuDefinirLogs, {{"chkLogs", "true"}, {"chkFichiersLogs", "true"}},
         {"Logs=1", "FichiersLogs=1"}, nullptr},
        {window_->mnuDefinirLogs, {{"chkLogs", "false"}}, {"Logs=0"}, nullptr},
        {window_->mnuDossierErr,
         {{"chkDossierErr", "false"}, {"chkDossierErrSon", "false"}, {"txtNetSend", "admin"}},
         {"ErreurDossier=0", "ErreurDossierSon=0", "ErreurDossierNetSend=0",
          "MessageNetSend=admin"},
         nullptr},
    };
    for (const auto& c : cases) {
      const auto work = [&c](QDialog& dialog, const char* button) {
        for (const auto& control : c.controls) {
          QObject* knob = dialog.findChild<QObject*>(control.first);
          QVERIFY2(knob != nullptr, control.first);
          // What a person changes: the text, the value or the check mark.
          const char* what = qobject_cast<QLineEdit*>(knob)        ? "text"
                             : qobject_cast<QAbstractSlider*>(knob) ? "value"
                                                                    : "checked";
          QVERIFY2(knob->property(what).toString() != control.second, control.first);
          knob->setProperty(what, control.second);
        }
        dialog.findChild<QPushButton*>(button)->click();
      };
      const std::string before = Ini();
      dialog_steps_.push_back([&work](QDialog& dialog) { work(dialog, "cmdAnnuler"); });
      c.menu->trigger();
      QVERIFY2(Ini() == before, qPrintable(c.menu->objectName()));
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
      for (const std::string& key : c.stored) ExpectIni({key + "\r\n"});
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

  // The limit messages come and go on a row of their own, the dialogs keep
  // their size, and every text has its room in every language.
  void numberBoxesStopAtTheirLimitsAndLayoutsKeepTheirShape() {
    IniFile ini(*fs_, Path("home/Vorn.ini"));
    for (const Language language : {kEnglish, kFrench, kPortuguese}) {
      MirrorSettings settings;
      settings.Langue = language;
      frmTempo tempo(nullptr, dialogs_, ini, settings, [] {});
      frmPurgeLogs purge(nullptr, dialogs_, ini, settings);
      const std::tuple<QDialog*, QLabel*, const char*, bool, const char*, const char*> cases[] = {
          {&tempo, tempo.lblSecondes, "32766", true, "32767", "Maximal temporisation reached"},
          {&tempo, tempo.lblSecondes, "2", false, "1", "Minimal temporisation reached"},
          {&purge, purge.lblJours, "365", true, "366", "Maximal value reached"},
          {&purge, purge.lblJours, "3", false, "2", "Minimal value reached"},
      };
      for (const auto& [dialog, unit, from, up, to, english] : cases) {
        Shown(*dialog);
        NumberBox& box = *dialog->findChild<NumberBox*>("UpDown1");
        const QSize before = dialog->size();
        box.Text1->setText(from);
        for (int click = 0; click < 2; ++click) (up ? box.up : box.down)->click();
        QCOMPARE(box.Text1->text(), QString(to));
        QVERIFY(box.Label1->isVisible());
        if (language == kEnglish) QCOMPARE(box.Label1->text(), QString(english));
        QTest::qWait(10);
        QCOMPARE(dialog->size(), before);
        const QFontMetrics metrics = box.Text1->fontMetrics();
        const int room = box.Text1->width() - box.Text1->sizeHint().width() +
                         17 * metrics.horizontalAdvance(QLatin1Char('x'));
        QVERIFY2(room >= metrics.horizontalAdvance(to), to);
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
    dialog.cmdInstall->click();             // already installed: a beep
    dialog.cmdRemove->click();
    QVERIFY(!service_.installed);
    QCOMPARE(dialog.lblService->text(), QString("Vorn Service: removed"));
    dialog.cmdRemove->click();  // not installed: a beep
    QCOMPARE(effects, (std::vector<std::string>{"service", "end", "beep", "application", "beep",
                                                "application"}));
    dialog.chkDossierErrEventLog->click();
    ExpectIni({"ErreurDossierEventLog=1"});
  }

  void theSignaturesEditorSavesOnOkIntoTheTableTheEngineUses() {
    Open();
    Step<frmGestionSignatures>([](frmGestionSignatures& dialog) {
      dialog.txtSignature->setText("TEXTttxt");
      dialog.txtExtension->setText("txt");
      dialog.txtType->setText("Text file");
      dialog.cmdAjouter->click();
      dialog.cmdOK->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    });
    window_->mnuGestionSignatures->trigger();
    QCOMPARE(Read("home/Signatures.txt"), QByteArray("\"TEXTttxt\",\"txt\",\"Text file\"\r\n"));
    QCOMPARE(window_->app().signatures.ExtensionForSignature("TEXTttxt"), std::string("txt"));
    QCOMPARE(window_->app().signatures.records().size(), size_t{1});
    QVERIFY(dialogs_.questions.empty());
  }

  // The editor's rules and texts are the core's; here, what the dialog does with them.
  void theSignaturesEditorShowsRefusalsInRedWithABeepAndAsksBeforeDroppingChanges() {
    const QByteArray file =
        "\"XDOCXPR3\",\"qxd\",\"Quark XPress\"\r\n\"TEXTttxt\",\"\",\"\"\r\n"
        "\"W6BNMSWD\",\"doc\",\"Word 6\"\r\n";
    Write("Signatures.txt", file);
    SignatureTable table;
    int beeps = 0;
    frmGestionSignatures editor(nullptr, dialogs_, *fs_, Path("Signatures.txt"), table, kEnglish,
                                [&beeps] { ++beeps; });
    QTreeWidget* list = editor.lstSignatures;
    const auto rows = [list] {  // one "type/creator|extension|description" a row
      QStringList texts;
      for (QTreeWidgetItemIterator row(list); *row; ++row) {
        texts << (*row)->text(0) + "|" + (*row)->text(1) + "|" + (*row)->text(2);
      }
      return texts;
    };
    const auto selected = [list] {
      return list->selectedItems().isEmpty() ? QString() : list->selectedItems()[0]->text(0);
    };
    const auto click = [list](int row) {
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->topLevelItem(row)).center());
    };
    // The message shown, after "!" when in the red of a refusal, "?" when in neither colour.
    const auto message = [&editor] {
      const QString style = editor.lblMsg->styleSheet();
      return (style.contains("rgb(255, 0, 0)")     ? "!"
              : style.contains("rgb(255, 0, 255)") ? ""
                                                   : "?") +
             editor.lblMsg->text();
    };
    Shown(editor);
    QCOMPARE(rows(), (QStringList{"XDOCXPR3|qxd|Quark XPress", "W6BNMSWD|doc|Word 6"}));
    QCOMPARE(editor.windowTitle(), QString("Vorn - Macintosh signatures (2)"));
    editor.cmdAnnuler->click();  // nothing changed: no question
    QVERIFY(editor.isHidden() && dialogs_.questions.empty());
    Shown(editor);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(message(), QString("!Select a signature to remove"));
    QCOMPARE(beeps, 1);
    editor.txtSignature->setText("8BPS8BIM");
    editor.txtType->setText("Photoshop");
    editor.cmdAjouter->click();
    QCOMPARE(message(), QString("Added Signature: 8BPS8BIM"));
    QCOMPARE(beeps, 1);
    QCOMPARE(rows().last(), QString("8BPS8BIM||Photoshop"));
    QCOMPARE(selected(), QString("8BPS8BIM"));
    QVERIFY(editor.txtSignature->hasFocus());
    QCOMPARE(editor.windowTitle(), QString("Vorn - Macintosh Signatures (3)"));
    // A clicked row fills the boxes, which then modify it.
    click(1);
    QCOMPARE(editor.lblMsg->text(), QString());
    QCOMPARE(editor.txtSignature->text() + "|" + editor.txtExtension->text() + "|" +
                 editor.txtType->text(),
             QString("W6BNMSWD|doc|Word 6"));
    editor.txtType->setText("Word 6 Document");
    editor.cmdAjouter->click();
    QCOMPARE(message(), QString("Modified Signature: W6BNMSWD"));
    // A heading sorts the list, descending first, and the selection follows its record.
    click(0);
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                             header->height() / 2));
    QCOMPARE(rows(), (QStringList{"W6BNMSWD|doc|Word 6 Document", "XDOCXPR3|qxd|Quark XPress",
                                  "8BPS8BIM||Photoshop"}));
    QCOMPARE(selected(), QString("XDOCXPR3"));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(message(), QString("Removed Signature: XDOCXPR3"));
    QCOMPARE(rows(), (QStringList{"W6BNMSWD|doc|Word 6 Document", "8BPS8BIM||Photoshop"}));
    QVERIFY(selected().isEmpty());
    // Leaving with changes asks first, however it is left; Yes drops them.
    editor.cmdAnnuler->click();
    QTest::keyClick(&editor, Qt::Key_Escape);
    editor.close();
    QCOMPARE(dialogs_.questions, std::vector<std::string>(3, "Modified list\r\nDiscard changes"));
    QVERIFY(editor.isVisible());
    dialogs_.answers = {true};
    editor.close();
    QVERIFY(editor.isHidden());
    QCOMPARE(editor.result(), int(QDialog::Rejected));
    QCOMPARE(Read("Signatures.txt"), file);
    QVERIFY(table.records().empty());
  }
};

}  // namespace vorn::gui

QTEST_MAIN(vorn::gui::WindowTest)
#include "window_test.moc"
