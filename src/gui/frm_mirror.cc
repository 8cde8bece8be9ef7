// frmMirror: construction of the menus and the window, and start-up.

#include "gui/frm_mirror.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/frm_splash.h"
#include "gui/images.h"
#include "gui/qt_dialogs.h"
#include "base/constants.h"

namespace vorn::gui {
namespace {

QAction* Toggle(QMenu* menu, const char* name) {
  QAction* action = Named(menu->addAction(name), name);
  action->setCheckable(true);
  return action;
}

QLabel* Sample(QWidget* parent, const QString& style, bool struck = false) {
  auto* sample = new QLabel("abc", parent);
  sample->setStyleSheet("QLabel { border: 1px solid gray; padding: 1px 6px; " + style + " }");
  if (struck) {
    QFont font = sample->font();
    font.setStrikeOut(true);
    sample->setFont(font);
  }
  return sample;
}

QLabel* Picture(QWidget* parent, const char* name, const QPixmap& pixmap) {
  auto* label = Named(new QLabel(parent), name);
  label->setPixmap(pixmap);
  return label;
}

}  // namespace

frmMirror::frmMirror(MainWindowServices services) : services_(std::move(services)) {
  setObjectName("frmMirror");
  // No close command in the title bar: the program ends through File, Exit,
  // or hides in the tray.
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  BuildMenus();
  BuildWindow();
  ConnectCommands();
  ConnectEditing();
  splash_ = new frmSplash([this] { return app_.settings.ArretAutomatique; },
                          [this] { scheduler().KeepRunningAfterFirstPass(); });
}

frmMirror::~frmMirror() {
  // The unload handler's one task.
  RemoveTrayIcon();
  delete splash_;
  delete log_viewer_;
}

void frmMirror::BuildMenus() {
  menu_bar_ = menuBar();
  mnuFichier = Named(menu_bar_->addMenu("mnuFichier"), "mnuFichier");
  mnuDemarrer = Named(mnuFichier->addAction("mnuDemarrer"), "mnuDemarrer");
  mnuFichierVoirLogs = Named(mnuFichier->addAction("mnuFichierVoirLogs"), "mnuFichierVoirLogs");
  mnuRestaurer = Named(mnuFichier->addAction("mnuRestaurer"), "mnuRestaurer");
  mnuFichier->addSeparator()->setObjectName("SepF0");
  mnuQuitter = Named(mnuFichier->addAction("mnuQuitter"), "mnuQuitter");

  mnuDossiers = Named(menu_bar_->addMenu("mnuDossiers"), "mnuDossiers");
  mnuAjouterSource = Named(mnuDossiers->addMenu("mnuAjouterSource"), "mnuAjouterSource");
  mnuAjouterSourceParcourir =
      Named(mnuAjouterSource->addAction("Browse"), "mnuAjouterSourceParcourir");
  mnuAjouterSourceSaisir = Named(mnuAjouterSource->addAction("Type"), "mnuAjouterSourceSaisir");
  mnuModifierSource = Named(mnuDossiers->addMenu("mnuModifierSource"), "mnuModifierSource");
  mnuModifierSourceParcourir =
      Named(mnuModifierSource->addAction("Browse"), "mnuModifierSourceParcourir");
  mnuModifierSourceSaisir = Named(mnuModifierSource->addAction("Type"), "mnuModifierSourceSaisir");
  mnuDossiers->addSeparator()->setObjectName("SepD0");
  mnuModifierCible = Named(mnuDossiers->addMenu("mnuModifierCible"), "mnuModifierCible");
  mnuModifierCibleParcourir =
      Named(mnuModifierCible->addAction("Browse"), "mnuModifierCibleParcourir");
  mnuModifierCibleSaisir = Named(mnuModifierCible->addAction("Type"), "mnuModifierCibleSaisir");
  mnuDossiers->addSeparator()->setObjectName("SepD1");
  mnuSupprimerDossiers =
      Named(mnuDossiers->addAction("mnuSupprimerDossiers"), "mnuSupprimerDossiers");

  BuildConfigurationMenu();

  mnuLogs = Named(menu_bar_->addMenu("mnuLogs"), "mnuLogs");
  mnuDefinirLogs = Toggle(mnuLogs, "mnuDefinirLogs");
  mnuVoirLogs = Named(mnuLogs->addAction("mnuVoirLogs"), "mnuVoirLogs");
  mnuVoirLogs->setShortcut(Qt::Key_F1);
  mnuPurgeLogs = Toggle(mnuLogs, "mnuPurgeLogs");

  mnuLangue = Named(menu_bar_->addMenu("mnuLangue"), "mnuLangue");
  language_group_ = new QActionGroup(this);
  mnuAnglais = Toggle(mnuLangue, "mnuAnglais");
  mnuAnglais->setText("&English");
  mnuFrancais = Toggle(mnuLangue, "mnuFrancais");
  mnuFrancais->setText("&Français");
  mnuPortugais = Toggle(mnuLangue, "mnuPortugais");
  mnuPortugais->setText("&Português");
  for (QAction* a : {mnuAnglais, mnuFrancais, mnuPortugais}) language_group_->addAction(a);

  mnuAbout = Named(menu_bar_->addMenu("&?"), "mnuAbout");
  mnuAide = Named(mnuAbout->addAction("mnuAide"), "mnuAide");
  mnuAPropos = Named(mnuAbout->addAction("mnuAPropos"), "mnuAPropos");
}

void frmMirror::BuildConfigurationMenu() {
  mnuConfiguration = Named(menu_bar_->addMenu("mnuConfiguration"), "mnuConfiguration");
  mnuMiroirSousDossiers = Toggle(mnuConfiguration, "mnuMiroirSousDossiers");
  mnuEffacement = Toggle(mnuConfiguration, "mnuEffacement");
  mnuConfiguration->addSeparator()->setObjectName("SepC0");
  mnuTypeCopie = Named(mnuConfiguration->addMenu("mnuTypeCopie"), "mnuTypeCopie");
  copy_type_group_ = new QActionGroup(this);
  mnuTypeCopieNormale = Toggle(mnuTypeCopie, "mnuTypeCopieNormale");
  mnuTypeCopieSecurisee = Toggle(mnuTypeCopie, "mnuTypeCopieSecurisee");
  copy_type_group_->addAction(mnuTypeCopieNormale);
  copy_type_group_->addAction(mnuTypeCopieSecurisee);
  mnuCopierAttributs = Toggle(mnuConfiguration, "mnuCopierAttributs");
  mnuCopierProprietaire = Toggle(mnuConfiguration, "mnuCopierProprietaire");
  mnuCopierSecurite = Named(mnuConfiguration->addMenu("mnuCopierSecurite"), "mnuCopierSecurite");
  security_group_ = new QActionGroup(this);
  for (QAction** option : {&mnuCopierSecuriteNon, &mnuCopierSecuriteMod, &mnuCopierSecuriteDossiers,
                           &mnuCopierSecuriteTout}) {
    const char* names[] = {"mnuCopierSecuriteNon", "mnuCopierSecuriteMod",
                           "mnuCopierSecuriteDossiers", "mnuCopierSecuriteTout"};
    *option = Toggle(mnuCopierSecurite, names[security_group_->actions().size()]);
    security_group_->addAction(*option);
  }
  mnuConfiguration->addSeparator()->setObjectName("SepC1");
  mnuTempo = Named(mnuConfiguration->addAction("mnuTempo"), "mnuTempo");
  mnuPerformance = Named(mnuConfiguration->addAction("mnuPerformance"), "mnuPerformance");
  mnuPrefixeCibleDefaut =
      Named(mnuConfiguration->addAction("mnuPrefixeCibleDefaut"), "mnuPrefixeCibleDefaut");
  mnuConfiguration->addSeparator()->setObjectName("SepC2");
  mnuDossierErr = Toggle(mnuConfiguration, "mnuDossierErr");
  mnuConfiguration->addSeparator()->setObjectName("SepC3");
  mnuAfficherFichiers = Toggle(mnuConfiguration, "mnuAfficherFichiers");
  mnuAfficherFichiers->setShortcut(Qt::Key_F2);
  mnuAfficherLocked = Toggle(mnuConfiguration, "mnuAfficherLocked");
  mnuAfficherLocked->setShortcut(Qt::Key_F3);
  mnuConfiguration->addSeparator()->setObjectName("SepC4");
  mnuAutomatique = Toggle(mnuConfiguration, "mnuAutomatique");
  mnuArretAutomatique = Toggle(mnuConfiguration, "mnuArretAutomatique");
  mnuConfiguration->addSeparator()->setObjectName("SepC5");
  mnuService = Named(mnuConfiguration->addAction("mnuService"), "mnuService");
  mnuConfiguration->addSeparator()->setObjectName("SepC6");
  mnuGestionSignatures =
      Named(mnuConfiguration->addAction("mnuGestionSignatures"), "mnuGestionSignatures");
}

void frmMirror::BuildWindow() {
  auto* central = new QWidget(this);
  central->setMouseTracking(true);
  setCentralWidget(central);
  setMouseTracking(true);
  auto* layout = new QVBoxLayout(central);
  BuildHeader(central, layout);
  BuildPairGrid(central, layout);
  BuildMessageAndGuide(central, layout);
  BuildLegend(central, layout);
  BuildFileLists(central, layout);
  WatchMouseOverPanes();
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);
}

// The title, the mode, the Macintosh sign, the start button and the two bars.
void frmMirror::BuildHeader(QWidget* central, QVBoxLayout* layout) {
  auto* top = new QHBoxLayout;
  lblVorn = Named(new QLabel(central), "lblVorn");
  QFont title = lblVorn->font();
  title.setPointSizeF(title.pointSizeF() * 1.6);
  title.setBold(true);
  lblVorn->setFont(title);
  PictureMode = Picture(central, "PictureMode", ApplicationImage());
  lblMode = Named(new QLabel(central), "lblMode");
  PictureMac = Picture(central, "PictureMac", MacintoshSupportImage(true));
  lblDossierMac = Named(new QLabel(central), "lblDossierMac");
  top->addWidget(lblVorn);
  top->addSpacing(16);
  top->addWidget(PictureMode);
  top->addWidget(lblMode);
  top->addStretch();
  top->addWidget(PictureMac);
  top->addWidget(lblDossierMac);
  layout->addLayout(top);

  auto* controls = new QHBoxLayout;
  cmdMiroir = Named(new QToolButton(central), "cmdMiroir");
  cmdMiroir->setIcon(StartIcon());
  cmdMiroir->setIconSize(QSize(32, 32));
  cmdMiroir->setMinimumSize(48, 48);
  lblTempo = Named(new QLabel(central), "lblTempo");
  lblTempo->setMinimumWidth(60);
  lblAttente = Named(new QLabel(central), "lblAttente");
  ProgressBarAttente = Named(new QProgressBar(central), "ProgressBarAttente");
  lblCopie = Named(new QLabel(central), "lblCopie");
  ProgressBarCopie = Named(new QProgressBar(central), "ProgressBarCopie");
  for (QProgressBar* bar : {ProgressBarAttente, ProgressBarCopie}) {
    bar->setTextVisible(false);
    bar->setMaximumHeight(14);
    bar->setValue(0);
  }
  controls->addWidget(cmdMiroir);
  controls->addWidget(lblTempo);
  auto* bars = new QGridLayout;
  bars->addWidget(lblAttente, 0, 0);
  bars->addWidget(ProgressBarAttente, 0, 1);
  bars->addWidget(lblCopie, 1, 0);
  bars->addWidget(ProgressBarCopie, 1, 1);
  controls->addLayout(bars, 1);
  layout->addLayout(controls);
}

void frmMirror::BuildPairGrid(QWidget* central, QVBoxLayout* layout) {
  FrameSourcesCibles = Named(new QGroupBox(central), "FrameSourcesCibles");
  auto* pairs = new QGridLayout(FrameSourcesCibles);
  lblDossiersSources = Named(new QLabel(FrameSourcesCibles), "lblDossiersSources");
  lblNbDossiers = Named(new QLabel(FrameSourcesCibles), "lblNbDossiers");
  lblNbDossiers->setAlignment(Qt::AlignCenter);
  lblDossiersCibles = Named(new QLabel(FrameSourcesCibles), "lblDossiersCibles");
  lblDossiersCibles->setAlignment(Qt::AlignRight);
  picFleche1 = Picture(FrameSourcesCibles, "picFleche1", ArrowImage());
  picFleche2 = Picture(FrameSourcesCibles, "picFleche2", ArrowImage());
  lstDossiers = Named(new QTableWidget(0, 3, FrameSourcesCibles), "lstDossiers");
  lstDossiers->horizontalHeader()->hide();
  lstDossiers->verticalHeader()->hide();
  lstDossiers->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  lstDossiers->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
  lstDossiers->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  lstDossiers->setColumnWidth(1, 40);
  lstDossiers->setIconSize(QSize(24, 24));
  lstDossiers->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstDossiers->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Tab leaves the list in one press; the arrows move within it.
  lstDossiers->setTabKeyNavigation(false);
  lstDossiers->setShowGrid(false);
  lstDossiers->setMouseTracking(true);
  lstDossiers->viewport()->setMouseTracking(true);
  lstDossiers->viewport()->installEventFilter(this);
  lstDossiers->installEventFilter(this);
  lstDossiers->setMinimumHeight(160);
  lstDossiers->setWordWrap(false);
  lstDossiers->setTextElideMode(Qt::ElideMiddle);
  pairs->addWidget(lblDossiersSources, 0, 1);
  pairs->addWidget(lblNbDossiers, 0, 2);
  pairs->addWidget(lblDossiersCibles, 0, 3);
  pairs->addWidget(picFleche1, 1, 0);
  pairs->addWidget(lstDossiers, 1, 1, 1, 3);
  pairs->addWidget(picFleche2, 1, 4);
  pairs->setColumnStretch(1, 1);
  pairs->setColumnStretch(3, 1);
  BuildPairButtons(pairs);
  layout->addWidget(FrameSourcesCibles, 1);
}

void frmMirror::BuildPairButtons(QGridLayout* pairs) {
  auto* buttons = new QHBoxLayout;
  FrameSources = Named(new QGroupBox(FrameSourcesCibles), "FrameSources");
  auto* source_buttons = new QHBoxLayout(FrameSources);
  cmdAjouterDossierSource = Named(new QPushButton(FrameSources), "cmdAjouterDossierSource");
  cmdSupprimer = Named(new QPushButton(FrameSources), "cmdSupprimer");
  cmdModifierDossierSource = Named(new QPushButton(FrameSources), "cmdModifierDossierSource");
  for (QPushButton* b : {cmdAjouterDossierSource, cmdSupprimer, cmdModifierDossierSource}) {
    source_buttons->addWidget(b);
  }
  lblClic = Named(new QLabel(FrameSourcesCibles), "lblClic");
  lblClic->setAlignment(Qt::AlignCenter);
  lblClic->setWordWrap(true);
  FrameCibles = Named(new QGroupBox(FrameSourcesCibles), "FrameCibles");
  auto* target_buttons = new QHBoxLayout(FrameCibles);
  cmdModifierDossierCible = Named(new QPushButton(FrameCibles), "cmdModifierDossierCible");
  target_buttons->addWidget(cmdModifierDossierCible);
  buttons->addWidget(FrameSources);
  buttons->addWidget(lblClic, 1);
  buttons->addWidget(FrameCibles);
  pairs->addLayout(buttons, 2, 1, 1, 3);
}

void frmMirror::BuildMessageAndGuide(QWidget* central, QVBoxLayout* layout) {
  lblMessage = Named(new QLabel(central), "lblMessage");
  lblMessage->setMinimumHeight(2 * lblMessage->fontMetrics().lineSpacing() + 4);
  lblMessage->setWordWrap(true);
  lblMessage->setTextFormat(Qt::PlainText);
  layout->addWidget(lblMessage);

  // The getting-started guide, shown while there is no pair.
  LineBulle = Named(new QFrame(central), "LineBulle");
  LineBulle->setFrameShape(QFrame::HLine);
  lblBulle1 = Named(new QLabel(central), "lblBulle1");
  lblBulle2 = Named(new QLabel(central), "lblBulle2");
  lblBulle3 = Named(new QLabel(central), "lblBulle3");
  layout->addWidget(LineBulle);
  for (QLabel* l : {lblBulle1, lblBulle2, lblBulle3}) {
    QFont font = l->font();
    font.setBold(true);
    l->setFont(font);
    layout->addWidget(l);
  }
}

void frmMirror::BuildLegend(QWidget* central, QVBoxLayout* layout) {
  frameLegende = Named(new QGroupBox(central), "frameLegende");
  auto* legend = new QGridLayout(frameLegende);
  lblLegende1 = Named(new QLabel(frameLegende), "lblLegende1");
  lblLegende2 = Named(new QLabel(frameLegende), "lblLegende2");
  lblSources = Named(new QLabel(frameLegende), "lblSources");
  lblCibles = Named(new QLabel(frameLegende), "lblCibles");
  lblMaj = Named(new QLabel(frameLegende), "lblMaj");
  lblDifferent = Named(new QLabel(frameLegende), "lblDifferent");
  lblNouveau = Named(new QLabel(frameLegende), "lblNouveau");
  lblDisable = Named(new QLabel(frameLegende), "lblDisable");
  lblLegende3 = Named(new QLabel(frameLegende), "lblLegende3");
  lblLegende4 = Named(new QLabel(frameLegende), "lblLegende4");
  lblLegende5 = Named(new QLabel(frameLegende), "lblLegende5");
  legend->addWidget(Picture(frameLegende, "PictureSet", DefaultIntervalImage()), 0, 0);
  legend->addWidget(lblLegende1, 0, 1);
  legend->addWidget(Picture(frameLegende, "PictureSet2", SpecificIntervalImage()), 1, 0);
  legend->addWidget(lblLegende2, 1, 1);
  legend->addWidget(Sample(frameLegende, "color: rgb(255, 0, 0);"), 2, 0);
  legend->addWidget(lblSources, 2, 1);
  legend->addWidget(Sample(frameLegende, "color: rgb(255, 0, 255);"), 3, 0);
  legend->addWidget(lblCibles, 3, 1);
  legend->addWidget(lblMaj, 0, 2, 1, 2);
  legend->addWidget(Sample(frameLegende, "background: white;"), 1, 2);
  legend->addWidget(lblDifferent, 1, 3);
  legend->addWidget(Sample(frameLegende, "background: rgb(0, 255, 255);"), 2, 2);
  legend->addWidget(lblNouveau, 2, 3);
  legend->addWidget(Sample(frameLegende, "color: rgb(128, 128, 128);", true), 3, 2);
  legend->addWidget(lblDisable, 3, 3);
  legend->addWidget(lblLegende3, 0, 4);
  legend->addWidget(lblLegende4, 1, 4);
  legend->addWidget(lblLegende5, 2, 4);
  legend->setColumnStretch(1, 1);
  legend->setColumnStretch(3, 1);
  legend->setColumnStretch(4, 1);
  layout->addWidget(frameLegende);
}

void frmMirror::BuildFileLists(QWidget* central, QVBoxLayout* layout) {
  // The file lists and the locked-file list, filled by the folder views.
  auto* lists = new QGridLayout;
  lstFichiersSources = Named(new QListWidget(central), "lstFichiersSources");
  lstFichiersCibles = Named(new QListWidget(central), "lstFichiersCibles");
  lblNbFichiersSources = Named(new QLabel(central), "lblNbFichiersSources");
  lblNbFichiersCibles = Named(new QLabel(central), "lblNbFichiersCibles");
  lists->addWidget(lstFichiersSources, 0, 0);
  lists->addWidget(lstFichiersCibles, 0, 1);
  lists->addWidget(lblNbFichiersSources, 1, 0);
  lists->addWidget(lblNbFichiersCibles, 1, 1);
  layout->addLayout(lists);
  lblLocked = Named(new QLabel(central), "lblLocked");
  lstLocked = Named(new QListWidget(central), "lstLocked");
  layout->addWidget(lblLocked);
  layout->addWidget(lstLocked);
  for (QWidget* w : {static_cast<QWidget*>(lstFichiersSources),
                     static_cast<QWidget*>(lstFichiersCibles), static_cast<QWidget*>(lstLocked)}) {
    w->setMinimumHeight(120);
  }
}

// The hover summaries and tooltips, and the clicks on the background that
// put the highlighting off.
void frmMirror::WatchMouseOverPanes() {
  for (QListWidget* list : {lstFichiersSources, lstFichiersCibles}) {
    list->setMouseTracking(true);
    list->viewport()->setMouseTracking(true);
    list->viewport()->installEventFilter(this);
  }
  for (QWidget* frame :
       {static_cast<QWidget*>(FrameSourcesCibles), static_cast<QWidget*>(frameLegende),
        static_cast<QWidget*>(FrameSources), static_cast<QWidget*>(FrameCibles),
        static_cast<QWidget*>(lblNbFichiersSources), static_cast<QWidget*>(lblNbFichiersCibles)}) {
    frame->installEventFilter(this);
  }
  for (QWidget* label :
       {static_cast<QWidget*>(lblDossiersSources), static_cast<QWidget*>(lblDossiersCibles),
        static_cast<QWidget*>(lblNbDossiers)}) {
    label->setMouseTracking(true);
    label->installEventFilter(this);
  }
}

void frmMirror::FitToScreen() {
  QSize frame = frameGeometry().size() - geometry().size();
  if (frame.isEmpty()) {
    // Before its first map no window manager has said how thick its frame
    // is; a title bar and a border the style's size is a fair guess.
    const int border = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    frame = QSize(border, border + style()->pixelMetric(QStyle::PM_TitleBarHeight));
  }
  const QSize room = screen()->availableGeometry().size() - frame;
  resize(QSize(980, 760).boundedTo(room).expandedTo(minimumSizeHint()));
}

bool frmMirror::Load(const ProgramOptions& options) {
  const StartupResult started = RunStartup(options, services_.fs, services_.service, *this, app_);
  if (!started.proceed) {
    ended_ = true;
    exit_code_ = started.exit_code;
    return false;
  }
  session_ = std::make_unique<Session>(services_.fs, services_.clock, services_.service, app_,
                                       *this);
  if (services_.watcher != nullptr) session_->scheduler().AttachWatcher(*services_.watcher);
  // Once start-up has chosen the lower pane, which sets the least height.
  FitToScreen();
  return true;
}

void frmMirror::StartAutomatically() {
  session_->StartAutomatically(*this);
}

void frmMirror::closeEvent(QCloseEvent* event) {
  if (exit_requested_) {
    event->accept();
    return;
  }
  // The title bar's close is not a way out; it minimises to the tray.
  event->ignore();
  MinimizeMainWindow();
}

}  // namespace vorn::gui
