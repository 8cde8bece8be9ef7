// frmMirror as the host of start-up, the scheduler and the passes: it draws
// what they decide.

#include <QApplication>
#include <QMenuBar>

#include "gui/frm_mirror.h"
#include "gui/frm_splash.h"
#include "gui/images.h"
#include "gui/qt_dialogs.h"
#include "config/folder_pairs.h"
#include "runtime/main_window_texts.h"

namespace vorn::gui {
namespace {

QColor ColourOf(CellColour colour) {
  switch (colour) {
    case CellColour::kRed:
      return QColor(kRed.red, kRed.green, kRed.blue);
    case CellColour::kMagenta:
      return QColor(kMagenta.red, kMagenta.green, kMagenta.blue);
    case CellColour::kGrey:
      return QColor(kGrey.red, kGrey.green, kGrey.blue);
    case CellColour::kDefault:
      break;
  }
  return QApplication::palette().color(QPalette::Text);
}

QTableWidgetItem* PathCell(const std::string& text, const CellStyle& style, bool macintosh,
                           int16_t pair_number) {
  auto* item = new QTableWidgetItem(ToQt(text));
  item->setForeground(ColourOf(style.colour));
  if (style.cyan_background) item->setBackground(QColor(kCyan.red, kCyan.green, kCyan.blue));
  QFont font = item->font();
  font.setStrikeOut(style.struck_through);
  item->setFont(font);
  if (macintosh) item->setIcon(QIcon(MacintoshImage()));
  item->setData(Qt::UserRole, pair_number);
  return item;
}

}  // namespace

void frmMirror::ShowMessage(MessageIcon icon, std::string_view text) {
  services_.dialogs.ShowMessage(icon, text);
}

void frmMirror::ShowTitledMessage(MessageIcon icon, std::string_view title, std::string_view text) {
  services_.dialogs.ShowTitledMessage(icon, title, text);
}

bool frmMirror::AskYesNo(std::string_view text) {
  return services_.dialogs.AskYesNo(text);
}

std::optional<std::string> frmMirror::InputBox(std::string_view prompt,
                                               std::string_view default_text) {
  return services_.dialogs.InputBox(prompt, default_text);
}

std::optional<std::string> frmMirror::PickFolder(std::string_view title) {
  return services_.dialogs.PickFolder(title);
}

void frmMirror::SetTitle(const std::string& title, const std::string& product_label) {
  setWindowTitle(ToQt(title));
  lblVorn->setText(ToQt(product_label));
}

void frmMirror::ShowMode(const ModeDisplay& mode) {
  PictureMode->setPixmap(mode.service ? ServiceImage() : ApplicationImage());
  lblMode->setText(ToQt(mode.label));
  PictureMode->setToolTip(ToQt(mode.tip));
}

void frmMirror::ApplySettings(const MirrorSettings& s) {
  mnuMiroirSousDossiers->setChecked(s.MiroirSousDossiers);
  mnuEffacement->setChecked(s.Effacement);
  mnuCopierAttributs->setChecked(s.CopierAttributs);
  mnuCopierProprietaire->setChecked(s.CopierProprietaire);
  mnuAutomatique->setChecked(s.Automatique);
  mnuArretAutomatique->setChecked(s.ArretAutomatique);
  mnuAfficherFichiers->setChecked(s.AfficherFichiers);
  mnuAfficherLocked->setChecked(s.AfficherLocked);
  (s.CopieSecurisee ? mnuTypeCopieSecurisee : mnuTypeCopieNormale)->setChecked(true);
  ShowSecurityChoice();
  mnuDossierErr->setChecked(UnknownFolderWarningsOn(s));
  mnuDefinirLogs->setChecked(s.Logs);
  mnuPurgeLogs->setChecked(s.PurgeLogs);
  ShowPane();
}

void frmMirror::ShowSecurityChoice() {
  switch (SecurityChoiceOf(app_.settings)) {
    case SecurityChoice::kNone:
      mnuCopierSecuriteNon->setChecked(true);
      break;
    case SecurityChoice::kModified:
      mnuCopierSecuriteMod->setChecked(true);
      break;
    case SecurityChoice::kModifiedAndFolders:
      mnuCopierSecuriteDossiers->setChecked(true);
      break;
    case SecurityChoice::kEveryFile:
      mnuCopierSecuriteTout->setChecked(true);
      break;
  }
}

bool frmMirror::tray_available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void frmMirror::AddTrayIcon(const std::string& tip) {
  if (tray_ != nullptr || !tray_available()) return;  // a desktop without a tray has no icon
  tray_ = new QSystemTrayIcon(TrayIcon(TrayState::kStopped), this);
  tray_->setObjectName("TrayIcon");
  tray_->setToolTip(ToQt(tip));
  tray_->setContextMenu(mnuFichier);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger) ToggleMainWindow();
  });
  tray_->show();
}

void frmMirror::RemoveTrayIcon() {
  if (tray_ == nullptr) return;
  tray_->hide();
  tray_->setContextMenu(nullptr);
  delete tray_;
  tray_ = nullptr;
}

void frmMirror::SetWaitProgressRange(int maximum) {
  ProgressBarAttente->setRange(0, maximum);
}

void frmMirror::ApplySystemFeatures(SystemFamily family) {
  const bool nt = family == SystemFamily::kNt;
  PictureMac->setPixmap(MacintoshSupportImage(nt));
  lblDossierMac->setEnabled(nt);
  mnuTypeCopie->setEnabled(!nt);
  mnuCopierSecurite->setEnabled(nt);
  mnuService->setEnabled(nt);
  mnuGestionSignatures->setEnabled(nt);
}

void frmMirror::ApplyLanguage(Language language) {
  UseQtTranslations(language);
  lblNbFichiersSources->clear();
  lblNbFichiersCibles->clear();
  lblMessage->clear();
  (language == kFrench       ? mnuFrancais
   : language == kPortuguese ? mnuPortugais
                             : mnuAnglais)
      ->setChecked(true);
  for (const ControlText& caption :
       MainWindowCaptions(language, app_.settings.MiroirSousDossiers, app_.system.family())) {
    const QString name = QString::fromStdString(caption.control);
    const QString text = ToQt(caption.text);
    if (caption.tooltip) {
      if (auto* widget = findChild<QWidget*>(name)) widget->setToolTip(text);
    } else if (auto* menu = findChild<QMenu*>(name)) {
      menu->setTitle(text);
    } else if (auto* action = findChild<QAction*>(name)) {
      action->setText(text);
    } else if (auto* label = findChild<QLabel*>(name)) {
      label->setText(text);
    } else if (auto* group = findChild<QGroupBox*>(name)) {
      group->setTitle(text);
    } else if (auto* button = findChild<QAbstractButton*>(name)) {
      button->setText(text);
    }
  }
}

void frmMirror::ShowPairs(const PairList& pairs) {
  // Rebuilding moves the current cell; that is no choice of the user's and
  // lists no folder.
  const QSignalBlocker quiet(lstDossiers);
  lstDossiers->clearContents();
  lstDossiers->setRowCount(static_cast<int>(pairs.rows.size()));
  for (size_t i = 0; i < pairs.rows.size(); ++i) {
    const PairRow& row = pairs.rows[i];
    const int r = static_cast<int>(i);
    lstDossiers->setItem(
        r, 0,
        PathCell(row.source_text, row.source_style, row.source_is_macintosh, row.pair_number));
    auto* interval = new QTableWidgetItem();
    interval->setIcon(QIcon(row.interval_image == IntervalImage::kDefaultInterval
                                ? DefaultIntervalImage()
                                : SpecificIntervalImage()));
    lstDossiers->setItem(r, 1, interval);
    lstDossiers->setItem(
        r, 2,
        PathCell(row.target_text, row.target_style, row.target_is_macintosh, row.pair_number));
  }
  lblNbDossiers->setText(QString::number(pairs.rows.size()));
  hover_row_ = -1;
  // A fresh list has a current row, the first, though none looks chosen.
  if (!pairs.rows.empty()) lstDossiers->setCurrentCell(0, 0);
  SetHighlighting(false);
  ShowGridSide(!pairs.rows.empty());
  // A pair whose folders disagree on being on a Macintosh volume is worth a
  // word where the eye already is; a refused pair, which will never be
  // mirrored, more so.
  if (pairs.MacWarningPending) lblMessage->setText(ToQt(pairs.mac_warning));
  if (!pairs.refusals.empty()) {
    std::string refusals;
    for (const std::string& refusal : pairs.refusals) {
      refusals += (refusals.empty() ? "" : "\r\n") + refusal;
    }
    lblMessage->setText(ToQt(refusals));
  }
}

void frmMirror::ShowGridSide(bool has_pairs) {
  for (QWidget* guide : {static_cast<QWidget*>(LineBulle), static_cast<QWidget*>(lblBulle1),
                         static_cast<QWidget*>(lblBulle2), static_cast<QWidget*>(lblBulle3)}) {
    guide->setVisible(!has_pairs);
  }
  for (QWidget* w : {static_cast<QWidget*>(lblDossiersSources),
                     static_cast<QWidget*>(lblDossiersCibles), static_cast<QWidget*>(lblNbDossiers),
                     static_cast<QWidget*>(picFleche1), static_cast<QWidget*>(picFleche2)}) {
    w->setVisible(has_pairs);
  }
  if (!has_pairs) lblMessage->clear();
  ShowPane();
}

void frmMirror::ShowPane() {
  pane_ = PaneFor(app_.settings, lstDossiers->rowCount() > 0);
  const bool files = pane_ == LowerPane::kFileLists;
  const bool locked = pane_ == LowerPane::kLocked;
  frameLegende->setVisible(pane_ == LowerPane::kLegend);
  for (QWidget* w :
       {static_cast<QWidget*>(lstFichiersSources), static_cast<QWidget*>(lstFichiersCibles),
        static_cast<QWidget*>(lblNbFichiersSources), static_cast<QWidget*>(lblNbFichiersCibles)}) {
    w->setVisible(files);
  }
  lstLocked->setVisible(locked);
  lblLocked->setVisible(locked);
}

void frmMirror::MinimizeMainWindow() {
  // With a tray, minimised means hidden. Going through showMinimized first
  // would leave the window's X hints asking for an iconic start, and the
  // window manager would iconify it again the next time it is shown.
  if (tray_ != nullptr) {
    hide();
    return;
  }
  showMinimized();
}

void frmMirror::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

void frmMirror::ApplyCommandStates(const CommandStates& states) {
  for (QWidget* w :
       {static_cast<QWidget*>(cmdAjouterDossierSource), static_cast<QWidget*>(cmdSupprimer),
        static_cast<QWidget*>(cmdModifierDossierSource),
        static_cast<QWidget*>(cmdModifierDossierCible)}) {
    w->setEnabled(states.pair_editing);
  }
  mnuDossiers->setEnabled(states.pair_editing);
  for (QAction* a : {mnuMiroirSousDossiers, mnuEffacement, mnuCopierAttributs,
                     mnuCopierProprietaire, mnuTempo, mnuDefinirLogs, mnuPurgeLogs}) {
    a->setEnabled(states.settings_menus);
  }
  mnuLangue->setEnabled(states.settings_menus);
  mnuCopierSecurite->setEnabled(states.security_menu);
  mnuService->setEnabled(states.service_menu);
  mnuQuitter->setEnabled(states.exit_command);
  cmdMiroir->setToolTip(ToQt(states.button_tooltip));
  cmdMiroir->setIcon(states.mirroring ? StopIcon() : StartIcon());
  mnuDemarrer->setText(ToQt(states.menu_caption));
}

void frmMirror::ClearStatusMessage() {
  lblMessage->clear();
}

void frmMirror::RestoreMainWindow() {
  if (!isMinimized() && isVisible()) return;
  showNormal();
  raise();
  activateWindow();
}

void frmMirror::EndProgram(int exit_code) {
  RemoveTrayIcon();
  ended_ = true;
  exit_code_ = exit_code;
  exit_requested_ = true;
  QCoreApplication::exit(exit_code);
}

void frmMirror::CloseMessageWindow() {
  splash_->close();
}

void frmMirror::SetTimerEnabled(bool enabled) {
  if (enabled) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
}

void frmMirror::SetWaitProgress(int value) {
  ProgressBarAttente->setValue(value);
}

void frmMirror::SetCopyProgressMaximum(int maximum) {
  ProgressBarCopie->setMaximum(maximum);
}

void frmMirror::SetCopyProgress(int value) {
  ProgressBarCopie->setValue(value);
}

void frmMirror::ShowPassPosition(const std::string& text) {
  lblTempo->setText(ToQt(text));
  lblTempo->repaint();
}

void frmMirror::SetTray(TrayState state, const std::string& tip) {
  if (tray_ == nullptr) return;
  tray_->setIcon(TrayIcon(state));
  tray_->setToolTip(ToQt(tip));
}

void frmMirror::ShowSummary(const std::string& text) {
  lblMessage->setPalette(QApplication::palette());
  lblMessage->setText(ToQt(text));
}

void frmMirror::ShowMessageWindow(const std::string& text) {
  splash_->ShowMessage(ToQt(text));
}

void frmMirror::Beep() {
  QApplication::beep();
}

}  // namespace vorn::gui
