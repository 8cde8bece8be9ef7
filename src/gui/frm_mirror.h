#pragma once

#include <QAction>
#include <QActionGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "gui/log_viewer.h"
#include "platform/clock.h"
#include "platform/service_control.h"
#include "platform/system.h"
#include "runtime/service_admin.h"
#include "ui/pair_editing.h"
#include "runtime/scheduler.h"
#include "runtime/session.h"
#include "ui/pair_commands.h"
#include "runtime/startup.h"
#include "ui/panes.h"
#include "base/text.h"

namespace vorn::gui {

class frmSplash;

/// What the main window needs from outside: the file system, the service
/// control, the clock, the modal dialogs, how to open a document in the
/// desktop's browser, how to run the window's own dialogs (modally when
/// left empty) and the watcher of the sources. Tests pass their own.
struct MainWindowServices {
  platform::FileSystem& fs;
  platform::ServiceControl& service;
  platform::Clock& clock;
  Dialogs& dialogs;
  /// Hands a document to the desktop (LocalFileUrl builds the URL of a file).
  std::function<void(const QUrl& url)> open_url;
  std::function<int(QDialog& dialog)> run_dialog = {};
  /// Where changes in the sources are seen while mirroring runs; none: the
  /// interval alone starts passes.
  platform::ChangeWatcher* watcher = nullptr;
};

/// The main window. Every control keeps its design name as member and
/// objectName. It draws what the core decides: start-up, the scheduler and
/// the passes report through the host interfaces it implements.
class frmMirror final : public QMainWindow, public StartupHost, public SchedulerHost {
  Q_OBJECT

 public:
  explicit frmMirror(MainWindowServices services);
  ~frmMirror() override;

  /// The load handler: runs start-up; false when the program must end (with
  /// exit_code()).
  bool Load(const ProgramOptions& options);
  /// The automatic start that closes start-up.
  void StartAutomatically();

  /// The program ended itself (stop after the first pass, the fatal stop,
  /// the service installed): the status it ends with.
  bool ended() const { return ended_; }
  int exit_code() const { return exit_code_; }

  Application& app() { return app_; }
  Scheduler& scheduler() { return session_->scheduler(); }
  const MirrorEngine& engine() const { return session_->engine(); }
  bool highlighting() const { return highlighting_; }
  int hover_row() const { return hover_row_; }
  LowerPane pane() const { return pane_; }
  bool tray_available() const;
  QSystemTrayIcon* tray() { return tray_; }
  frmVoirLogs* log_viewer() { return log_viewer_; }

  // Dialogs (through the services)
  void ShowMessage(MessageIcon icon, std::string_view text) override;
  void ShowTitledMessage(MessageIcon icon, std::string_view title, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view prompt,
                                      std::string_view default_text) override;
  std::optional<std::string> PickFolder(std::string_view title) override;

  // StartupHost
  void SetTitle(const std::string& title, const std::string& product_label) override;
  void ShowMode(const ModeDisplay& mode) override;
  void ApplySettings(const MirrorSettings& settings) override;
  void AddTrayIcon(const std::string& tip) override;
  void RemoveTrayIcon() override;
  void SetWaitProgressRange(int maximum) override;
  void ApplySystemFeatures(SystemFamily family) override;
  void ApplyLanguage(Language language) override;
  void ShowPairs(const PairList& pairs) override;
  void MinimizeMainWindow() override;

  // SchedulerHost
  void ProcessPendingEvents() override;
  void ApplyCommandStates(const CommandStates& states) override;
  void ClearStatusMessage() override;
  void RestoreMainWindow() override;
  void EndProgram(int exit_code) override;
  void CloseMessageWindow() override;

  // PassDisplay
  void SetTimerEnabled(bool enabled) override;
  void SetWaitProgress(int value) override;
  void SetCopyProgressMaximum(int maximum) override;
  void SetCopyProgress(int value) override;
  void ShowPassPosition(const std::string& text) override;
  void SetTray(TrayState state, const std::string& tip) override;
  void ShowSummary(const std::string& text) override;
  void ShowLockedFiles(const std::vector<std::string>& locked) override;
  void RefreshFileLists(bool target_changed) override;
  void ShowMessageWindow(const std::string& text) override;
  void Beep() override;

  // Menus and their commands.
  QMenu* mnuFichier;
  QAction* mnuDemarrer;
  QAction* mnuFichierVoirLogs;
  QAction* mnuRestaurer;
  QAction* mnuQuitter;
  QMenu* mnuDossiers;
  QMenu* mnuAjouterSource;
  QAction* mnuAjouterSourceParcourir;
  QAction* mnuAjouterSourceSaisir;
  QMenu* mnuModifierSource;
  QAction* mnuModifierSourceParcourir;
  QAction* mnuModifierSourceSaisir;
  QMenu* mnuModifierCible;
  QAction* mnuModifierCibleParcourir;
  QAction* mnuModifierCibleSaisir;
  QAction* mnuSupprimerDossiers;
  QMenu* mnuConfiguration;
  QAction* mnuMiroirSousDossiers;
  QAction* mnuEffacement;
  QMenu* mnuTypeCopie;
  QAction* mnuTypeCopieNormale;
  QAction* mnuTypeCopieSecurisee;
  QAction* mnuCopierAttributs;
  QAction* mnuCopierProprietaire;
  QMenu* mnuCopierSecurite;
  QAction* mnuCopierSecuriteNon;
  QAction* mnuCopierSecuriteMod;
  QAction* mnuCopierSecuriteDossiers;
  QAction* mnuCopierSecuriteTout;
  QAction* mnuTempo;
  QAction* mnuPerformance;
  QAction* mnuPrefixeCibleDefaut;
  QAction* mnuDossierErr;
  QAction* mnuAfficherFichiers;
  QAction* mnuAfficherLocked;
  QAction* mnuAutomatique;
  QAction* mnuArretAutomatique;
  QAction* mnuService;
  QAction* mnuGestionSignatures;
  QMenu* mnuLogs;
  QAction* mnuDefinirLogs;
  QAction* mnuVoirLogs;
  QAction* mnuPurgeLogs;
  QMenu* mnuLangue;
  QAction* mnuAnglais;
  QAction* mnuFrancais;
  QAction* mnuPortugais;
  QMenu* mnuAbout;
  QAction* mnuAide;
  QAction* mnuAPropos;

  // The window.
  QLabel* lblVorn;
  QLabel* PictureMode;
  QLabel* lblMode;
  QToolButton* cmdMiroir;
  QLabel* lblTempo;
  QLabel* lblAttente;
  QProgressBar* ProgressBarAttente;
  QLabel* lblCopie;
  QProgressBar* ProgressBarCopie;
  QGroupBox* FrameSourcesCibles;
  QLabel* lblDossiersSources;
  QLabel* lblDossiersCibles;
  QLabel* lblNbDossiers;
  QLabel* picFleche1;
  QLabel* picFleche2;
  QTableWidget* lstDossiers;
  QGroupBox* FrameSources;
  QPushButton* cmdAjouterDossierSource;
  QPushButton* cmdSupprimer;
  QPushButton* cmdModifierDossierSource;
  QGroupBox* FrameCibles;
  QPushButton* cmdModifierDossierCible;
  QLabel* lblClic;
  QLabel* lblMessage;
  QLabel* PictureMac;
  QLabel* lblDossierMac;
  QFrame* LineBulle;
  QLabel* lblBulle1;
  QLabel* lblBulle2;
  QLabel* lblBulle3;
  QGroupBox* frameLegende;
  QLabel* lblLegende1;
  QLabel* lblLegende2;
  QLabel* lblSources;
  QLabel* lblCibles;
  QLabel* lblMaj;
  QLabel* lblDifferent;
  QLabel* lblNouveau;
  QLabel* lblDisable;
  QLabel* lblLegende3;
  QLabel* lblLegende4;
  QLabel* lblLegende5;
  QListWidget* lstFichiersSources;
  QListWidget* lstFichiersCibles;
  QLabel* lblNbFichiersSources;
  QLabel* lblNbFichiersCibles;
  QListWidget* lstLocked;
  QLabel* lblLocked;
  QTimer* Timer1;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildConfigurationMenu();
  void BuildWindow();
  void BuildHeader(QWidget* central, QVBoxLayout* layout);
  void BuildPairGrid(QWidget* central, QVBoxLayout* layout);
  void BuildPairButtons(QGridLayout* pairs);
  void BuildMessageAndGuide(QWidget* central, QVBoxLayout* layout);
  void BuildLegend(QWidget* central, QVBoxLayout* layout);
  void BuildFileLists(QWidget* central, QVBoxLayout* layout);
  void WatchMouseOverPanes();
  void ConnectCommands();
  void ConnectConfiguration();
  void ConnectLists();
  void ConnectEditing();
  void ConnectSettingDialogs();
  int RunDialog(QDialog& dialog);
  GridSelection Selection() const;
  void EditPairs(PathKind kind, EditAction action);
  void RemovePairs();
  void OpenPairSettings(int row);
  bool OnGridKey(QKeyEvent* event);
  void OpenLogViewer();
  void FillFileLists(int row);
  /// Lists the source folder of a grid row's pair, and its target folder too
  /// when asked.
  void ListPair(int row, bool with_target);
  void ListFolder(QListWidget* list, QLabel* count, const std::string& folder,
                  const std::string& shown_folder);
  void ShowListingTooltip(QListWidget* list, const QPoint& position, Qt::MouseButtons buttons);
  void ShowPane();
  void ShowGridSide(bool has_pairs);
  void SetHighlighting(bool on);
  /// The opening size: the design's, shrunk to the screen's free area less
  /// the frame, never below what shows every control.
  void FitToScreen();
  /// Highlighting on, and the current row selected when nothing is.
  void HighlightCurrentRow();
  void ShowSecurityChoice();
  void ToggleSetting(QAction* action, bool MirrorSettings::*field);
  void OnGridClicked(int row, int column);
  void OnGridPressed();
  void OnGridMouseMove(const QPoint& position);
  void OnBackgroundClicked();
  void OnBackgroundMouseMove();
  void ToggleMainWindow();
  void OpenHelp(const std::string& anchor);
  void ExitCommand();
  void UpdateFileMenuForVisibility();
  void ClearFileLists();

  MainWindowServices services_;
  Application app_;
  std::unique_ptr<Session> session_;
  QSystemTrayIcon* tray_ = nullptr;
  frmSplash* splash_ = nullptr;
  QPointer<frmVoirLogs> log_viewer_;
  QActionGroup* security_group_ = nullptr;
  QActionGroup* copy_type_group_ = nullptr;
  QActionGroup* language_group_ = nullptr;
  QMenuBar* menu_bar_ = nullptr;
  bool highlighting_ = false;
  int hover_row_ = -1;
  LowerPane pane_ = LowerPane::kGuide;
  bool ended_ = false;
  int exit_code_ = 0;
  bool exit_requested_ = false;
  platform::NumberFormat number_format_ = platform::UserNumberFormat();
  /// The current-cell change of a click has just listed the row, so the
  /// click itself need not list it again.
  bool listed_by_current_change_ = false;
};

}  // namespace vorn::gui
