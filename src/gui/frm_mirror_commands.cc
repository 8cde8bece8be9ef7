// frmMirror's commands: the menus, the start button, the tray, the grid and
// the background. Every rule they apply lives in the core.

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "gui/frm_about.h"
#include "gui/frm_mirror.h"
#include "gui/qt_dialogs.h"
#include "platform/path.h"
#include "platform/system.h"
#include "ui/pair_summary.h"
#include "runtime/main_window_texts.h"

namespace vorn::gui {

void frmMirror::ConnectCommands() {
  connect(cmdMiroir, &QToolButton::clicked, this, [this] { scheduler().StartStop(); });
  connect(mnuDemarrer, &QAction::triggered, cmdMiroir, &QToolButton::click);
  connect(Timer1, &QTimer::timeout, this, [this] { scheduler().Tick(); });
  connect(mnuQuitter, &QAction::triggered, this, &frmMirror::ExitCommand);
  connect(mnuRestaurer, &QAction::triggered, this, [this] {
    showNormal();
    raise();
    activateWindow();
  });
  connect(mnuVoirLogs, &QAction::triggered, this, &frmMirror::OpenLogViewer);
  connect(mnuFichierVoirLogs, &QAction::triggered, this, &frmMirror::OpenLogViewer);
  connect(mnuAide, &QAction::triggered, this, [this] { OpenHelp(""); });
  connect(mnuAPropos, &QAction::triggered, this, [this] {
    frmAbout about(this, app_.settings.Langue, app_.system.CopyCarriesStreams(),
                   [this](const std::string& anchor) { OpenHelp(anchor); });
    about.exec();
  });
  ConnectConfiguration();
  ConnectLists();
}

void frmMirror::ConnectConfiguration() {
  ToggleSetting(mnuCopierAttributs, &MirrorSettings::CopierAttributs);
  ToggleSetting(mnuCopierProprietaire, &MirrorSettings::CopierProprietaire);
  ToggleSetting(mnuAutomatique, &MirrorSettings::Automatique);
  ToggleSetting(mnuArretAutomatique, &MirrorSettings::ArretAutomatique);
  ToggleSetting(mnuMiroirSousDossiers, &MirrorSettings::MiroirSousDossiers);
  connect(mnuMiroirSousDossiers, &QAction::triggered, this, [this](bool on) {
    for (const ControlText& caption : SubFolderCaptions(app_.settings.Langue, on)) {
      const QString name = QString::fromStdString(caption.control);
      if (auto* action = findChild<QAction*>(name)) action->setText(ToQt(caption.text));
      if (auto* label = findChild<QLabel*>(name)) label->setText(ToQt(caption.text));
    }
  });
  ToggleSetting(mnuEffacement, &MirrorSettings::Effacement);
  connect(mnuEffacement, &QAction::triggered, this, [this](bool on) {
    if (on)
      ShowMessage(MessageIcon::kExclamation,
                  Tr(MainWindowText::kRemovalWarning, app_.settings.Langue));
  });

  const auto security = [this](QAction* action, SecurityChoice choice) {
    connect(action, &QAction::triggered, this, [this, choice] {
      StoreSecurityChoice(*app_.ini, app_.settings, choice);
      ShowSecurityChoice();
    });
  };
  security(mnuCopierSecuriteNon, SecurityChoice::kNone);
  security(mnuCopierSecuriteMod, SecurityChoice::kModified);
  security(mnuCopierSecuriteDossiers, SecurityChoice::kModifiedAndFolders);
  security(mnuCopierSecuriteTout, SecurityChoice::kEveryFile);
  connect(mnuTypeCopieNormale, &QAction::triggered, this,
          [this] { StoreCopyType(*app_.ini, app_.settings, false); });
  connect(mnuTypeCopieSecurisee, &QAction::triggered, this,
          [this] { StoreCopyType(*app_.ini, app_.settings, true); });

  const auto language = [this](QAction* action, Language code) {
    connect(action, &QAction::triggered, this, [this, code] {
      Store(*app_.ini, app_.settings, &MirrorSettings::Langue, code);
      ApplyLanguage(code);
    });
  };
  language(mnuFrancais, kFrench);
  language(mnuPortugais, kPortuguese);
  language(mnuAnglais, kEnglish);
}

void frmMirror::ConnectLists() {
  connect(mnuAfficherFichiers, &QAction::triggered, this, [this] {
    ToggleFileLists(*app_.ini, app_.settings);
    mnuAfficherFichiers->setChecked(app_.settings.AfficherFichiers);
    mnuAfficherLocked->setChecked(app_.settings.AfficherLocked);
    if (!app_.settings.AfficherFichiers) ClearFileLists();
    ShowPane();
    if (app_.settings.AfficherFichiers && lstDossiers->rowCount() > 0) {
      FillFileLists(lstDossiers->currentRow());
    }
  });
  connect(mnuAfficherLocked, &QAction::triggered, this, [this] {
    const bool was_on = app_.settings.AfficherLocked;
    ToggleLockedList(*app_.ini, app_.settings);
    mnuAfficherFichiers->setChecked(app_.settings.AfficherFichiers);
    mnuAfficherLocked->setChecked(app_.settings.AfficherLocked);
    if (was_on) ClearFileLists();
    ShowPane();
  });
  connect(lstDossiers, &QTableWidget::cellClicked, this, &frmMirror::OnGridClicked);
  connect(lstDossiers, &QTableWidget::currentCellChanged, this, [this](int row, int, int old_row) {
    // An arrow key after the list was reloaded: the commands read the
    // selection, so it must follow the keyboard as a click does.
    if (row >= 0 && !highlighting_ && lstDossiers->hasFocus() &&
        QApplication::mouseButtons() == Qt::NoButton) {
      HighlightCurrentRow();
    }
    if (row == old_row || row < 0 || !app_.settings.AfficherFichiers) return;
    FillFileLists(row);
    // A click reports itself after this; it finds the row listed.
    listed_by_current_change_ = QApplication::mouseButtons() != Qt::NoButton;
  });
}

void frmMirror::ToggleSetting(QAction* action, bool MirrorSettings::*field) {
  connect(action, &QAction::triggered, this,
          [this, field](bool on) { Store(*app_.ini, app_.settings, field, on); });
}

void frmMirror::ExitCommand() {
  if (!AskYesNo(Tr(MainWindowText::kExitQuestion, app_.settings.Langue))) return;
  exit_requested_ = true;
  RemoveTrayIcon();
  close();
  QCoreApplication::exit(0);
}

void frmMirror::OpenHelp(const std::string& anchor) {
  for (const std::string& path : HelpFileLocations(
           app_.paths.app_folder, platform::ExecutableFolder(), app_.settings.Langue)) {
    if (services_.fs.Lookup(path).ok()) {
      services_.open_url(LocalFileUrl(path, anchor));
      return;
    }
  }
  ShowMessage(MessageIcon::kInformation, Tr(MainWindowText::kNoHelp, app_.settings.Langue));
}

void frmMirror::SetHighlighting(bool on) {
  highlighting_ = on;
  if (on) {
    lstDossiers->setSelectionMode(QAbstractItemView::ContiguousSelection);
  } else {
    lstDossiers->clearSelection();
    lstDossiers->setSelectionMode(QAbstractItemView::NoSelection);
  }
}

void frmMirror::HighlightCurrentRow() {
  if (lstDossiers->rowCount() == 0) return;
  if (!highlighting_) SetHighlighting(true);
  if (lstDossiers->currentRow() < 0) lstDossiers->setCurrentCell(0, 0);
  if (lstDossiers->selectedRanges().isEmpty()) lstDossiers->selectRow(lstDossiers->currentRow());
}

void frmMirror::ClearFileLists() {
  lstFichiersSources->clear();
  lstFichiersCibles->clear();
  lblNbFichiersSources->clear();
  lblNbFichiersCibles->clear();
}

void frmMirror::OnGridPressed() {
  if (lstDossiers->rowCount() == 0) return;
  if (!highlighting_) SetHighlighting(true);
}

void frmMirror::OnGridClicked(int row, int column) {
  if (lstDossiers->rowCount() == 0) return;
  if (!highlighting_) SetHighlighting(true);
  // A plain click chooses one row; with Shift held Qt has already extended
  // the range, which the remove command then takes whole.
  if (row >= 0 && !(QApplication::keyboardModifiers() & Qt::ShiftModifier)) {
    lstDossiers->selectRow(row);
  }
  if (app_.settings.AfficherFichiers && !listed_by_current_change_) {
    FillFileLists(lstDossiers->currentRow());
  }
  listed_by_current_change_ = false;
  if (column == 1 && scheduler().Idle()) OpenPairSettings(lstDossiers->currentRow());
}

void frmMirror::OnGridMouseMove(const QPoint& position) {
  if (lstDossiers->rowCount() == 0 || session_ == nullptr || !scheduler().Idle()) return;
  const int row = lstDossiers->rowAt(position.y());
  if (row < 0) {
    lblMessage->clear();
    hover_row_ = -1;
  } else if (row != hover_row_ && static_cast<size_t>(row) < app_.pairs.pairs.size()) {
    const PairSummary summary = SummarizePair(
        app_.pairs.pairs[static_cast<size_t>(row)], app_.pairs.rows[static_cast<size_t>(row)],
        app_.settings.Temporisation, app_.settings.Langue, app_.system.family());
    QPalette palette = QApplication::palette();
    if (summary.greyed) palette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    lblMessage->setPalette(palette);
    lblMessage->setText(ToQt(summary.text));
    hover_row_ = row;
  }
  // The full text of a cell too narrow to show it.
  const QTableWidgetItem* item = lstDossiers->itemAt(position);
  const int column = lstDossiers->columnAt(position.x());
  if (item != nullptr && column != 1 &&
      lstDossiers->fontMetrics().horizontalAdvance(item->text()) >
          lstDossiers->columnWidth(column) - 16) {
    lstDossiers->setToolTip(item->text());
  } else {
    lstDossiers->setToolTip({});
  }
}

void frmMirror::OnBackgroundClicked() {
  if (!app_.settings.AfficherFichiers) {
    if (lstDossiers->rowCount() > 0) lstDossiers->setCurrentCell(0, 0);
    if (highlighting_) SetHighlighting(false);
    ClearFileLists();
  }
  cmdMiroir->setFocus();
}

void frmMirror::OnBackgroundMouseMove() {
  // While mirroring runs the status line belongs to the scheduler.
  if (session_ == nullptr || !scheduler().Idle()) return;
  lblMessage->clear();
  hover_row_ = -1;
}

void frmMirror::mousePressEvent(QMouseEvent* event) {
  OnBackgroundClicked();
  QMainWindow::mousePressEvent(event);
}

void frmMirror::mouseMoveEvent(QMouseEvent* event) {
  OnBackgroundMouseMove();
  QMainWindow::mouseMoveEvent(event);
}

bool frmMirror::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstDossiers->viewport()) {
    if (event->type() == QEvent::MouseMove) {
      OnGridMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::MouseButtonPress) {
      OnGridPressed();
    }
    return false;
  }
  if (watched == lstFichiersSources->viewport() || watched == lstFichiersCibles->viewport()) {
    auto* list = static_cast<QListWidget*>(static_cast<QWidget*>(watched)->parentWidget());
    if (event->type() == QEvent::MouseMove) {
      const auto* move = static_cast<QMouseEvent*>(event);
      ShowListingTooltip(list, move->position().toPoint(), move->buttons());
    } else if (event->type() == QEvent::Leave) {
      list->setToolTip({});
    }
    return false;
  }
  if (watched == lstDossiers && event->type() == QEvent::KeyPress) {
    return OnGridKey(static_cast<QKeyEvent*>(event));
  }
  // A click highlights through its own handlers; Tab and shortcuts land here.
  if (watched == lstDossiers && event->type() == QEvent::FocusIn &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
    HighlightCurrentRow();
    return false;
  }
  if (watched == lblDossiersSources || watched == lblDossiersCibles || watched == lblNbDossiers) {
    if (event->type() == QEvent::MouseMove) OnBackgroundMouseMove();
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress && watched != lstDossiers) {
    OnBackgroundClicked();
  }
  return false;
}

void frmMirror::ToggleMainWindow() {
  if (isMinimized() || !isVisible()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    showNormal();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
    raise();
    activateWindow();
  } else {
    MinimizeMainWindow();
  }
}

void frmMirror::changeEvent(QEvent* event) {
  // Minimised means hidden, with only the tray icon left; without a tray the
  // window would have no way back, so it just minimises.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_ != nullptr) {
    QTimer::singleShot(0, this, [this] { hide(); });
  }
  QMainWindow::changeEvent(event);
}

void frmMirror::showEvent(QShowEvent* event) {
  UpdateFileMenuForVisibility();
  QMainWindow::showEvent(event);
}

void frmMirror::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  UpdateFileMenuForVisibility();
}

void frmMirror::UpdateFileMenuForVisibility() {
  // The File menu doubles as the tray's menu: it offers the way back only
  // while the window is hidden.
  const bool hidden = !isVisible();
  mnuFichierVoirLogs->setVisible(hidden);
  mnuRestaurer->setVisible(hidden);
}

}  // namespace vorn::gui
