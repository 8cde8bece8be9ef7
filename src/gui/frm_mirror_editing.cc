// frmMirror's editing commands: the pair list and the settings dialogs.
// The rules are the core's; this file asks, shows and refreshes.

#include <QApplication>
#include <QKeyEvent>

#include "gui/frm_mirror.h"
#include "gui/log_dialogs.h"
#include "gui/service_dialogs.h"
#include "gui/settings_dialogs.h"
#include "gui/signatures_dialog.h"
#include "runtime/scheduler.h"
#include "ui/pair_commands.h"

namespace vorn::gui {

void frmMirror::ConnectEditing() {
  const auto edit = [this](QObject* sender, PathKind kind, EditAction action) {
    if (auto* button = qobject_cast<QPushButton*>(sender)) {
      connect(button, &QPushButton::clicked, this,
              [this, kind, action] { EditPairs(kind, action); });
    } else if (auto* command = qobject_cast<QAction*>(sender)) {
      connect(command, &QAction::triggered, this,
              [this, kind, action] { EditPairs(kind, action); });
    }
  };
  edit(cmdAjouterDossierSource, PathKind::kSourceBrowse, EditAction::kAdd);
  edit(mnuAjouterSourceParcourir, PathKind::kSourceBrowse, EditAction::kAdd);
  edit(mnuAjouterSourceSaisir, PathKind::kSourceType, EditAction::kAdd);
  edit(cmdModifierDossierSource, PathKind::kSourceBrowse, EditAction::kModify);
  edit(mnuModifierSourceParcourir, PathKind::kSourceBrowse, EditAction::kModify);
  edit(mnuModifierSourceSaisir, PathKind::kSourceType, EditAction::kModify);
  edit(cmdModifierDossierCible, PathKind::kTargetBrowse, EditAction::kModify);
  edit(mnuModifierCibleParcourir, PathKind::kTargetBrowse, EditAction::kModify);
  edit(mnuModifierCibleSaisir, PathKind::kTargetType, EditAction::kModify);
  connect(cmdSupprimer, &QPushButton::clicked, this, &frmMirror::RemovePairs);
  connect(mnuSupprimerDossiers, &QAction::triggered, this, &frmMirror::RemovePairs);
  connect(lstDossiers, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
    if (!scheduler().Idle() || column == 1) return;
    EditPairs(column == 0 ? PathKind::kSourceBrowse : PathKind::kTargetBrowse, EditAction::kModify);
  });
  ConnectSettingDialogs();
}

void frmMirror::ConnectSettingDialogs() {
  connect(mnuTempo, &QAction::triggered, this, [this] {
    frmTempo dialog(this, *this, *app_.ini, app_.settings, [this] {
      SetWaitProgressRange(WaitProgressMaximum(app_.settings.Temporisation));
      scheduler().RestartCountdown();
    });
    RunDialog(dialog);
  });
  connect(mnuPerformance, &QAction::triggered, this, [this] {
    frmPerformance dialog(this, *app_.ini, app_.settings);
    RunDialog(dialog);
  });
  connect(mnuPrefixeCibleDefaut, &QAction::triggered, this, [this] {
    frmPrefixeCible dialog(this, *app_.ini, app_.settings);
    RunDialog(dialog);
  });
  // The log and warning commands carry check marks that follow the
  // settings, whether the dialog was confirmed or not.
  connect(mnuDefinirLogs, &QAction::triggered, this, [this] {
    frmPathLogs dialog(this, *app_.ini, app_.settings);
    RunDialog(dialog);
    mnuDefinirLogs->setChecked(app_.settings.Logs);
  });
  connect(mnuPurgeLogs, &QAction::triggered, this, [this] {
    frmPurgeLogs dialog(this, *this, *app_.ini, app_.settings);
    RunDialog(dialog);
    mnuPurgeLogs->setChecked(app_.settings.PurgeLogs);
  });
  connect(mnuDossierErr, &QAction::triggered, this, [this] {
    frmAvertirDossierErr dialog(this, *this, *app_.ini, app_.settings, app_.system);
    RunDialog(dialog);
    mnuDossierErr->setChecked(UnknownFolderWarningsOn(app_.settings));
  });
  connect(mnuGestionSignatures, &QAction::triggered, this, [this] {
    frmGestionSignatures dialog(this, *this, services_.fs, app_.paths.signatures_file,
                                app_.signatures, app_.settings.Langue,
                                [] { QApplication::beep(); });
    RunDialog(dialog);
  });
  connect(mnuService, &QAction::triggered, this, [this] {
    ServiceDialogEffects effects{[this](bool service) { ShowMode(ModeFor(service)); },
                                 [this] { Beep(); }, [this] { EndProgram(kExitOk); }};
    frmAdminService dialog(this, *this, *app_.ini, app_.settings, services_.service, effects);
    RunDialog(dialog);
  });
}

int frmMirror::RunDialog(QDialog& dialog) {
  return services_.run_dialog ? services_.run_dialog(dialog) : dialog.exec();
}

GridSelection frmMirror::Selection() const {
  GridSelection selection;
  selection.highlighted = highlighting_;
  selection.current = lstDossiers->currentRow();
  selection.selection_end = selection.current;
  const QList<QTableWidgetSelectionRange> ranges = lstDossiers->selectedRanges();
  if (!ranges.isEmpty()) {
    const QTableWidgetSelectionRange& range = ranges.first();
    selection.selection_end =
        range.topRow() == selection.current ? range.bottomRow() : range.topRow();
  }
  return selection;
}

void frmMirror::EditPairs(PathKind kind, EditAction action) {
  const EditOutcome outcome = EditPair(services_.fs, app_, *this, kind, action, Selection());
  if (!outcome.changed) return;
  ShowPairs(app_.pairs);
  if (outcome.settings_row) {
    SetHighlighting(true);
    lstDossiers->setCurrentCell(*outcome.settings_row, 0);
    lstDossiers->selectRow(*outcome.settings_row);
    OpenPairSettings(*outcome.settings_row);
  }
}

void frmMirror::RemovePairs() {
  if (RemoveSelectedPairs(services_.fs, app_, *this, Selection())) ShowPairs(app_.pairs);
}

void frmMirror::OpenPairSettings(int row) {
  FolderPair* pair = app_.pairs.PairOfRow(row);
  if (pair == nullptr) return;
  frmSetMode dialog(this, *this, *app_.ini, *pair, *app_.pairs.Row(row),
                    app_.settings.Temporisation, app_.settings.Langue, app_.system.family(),
                    scheduler().Idle());
  if (RunDialog(dialog) != QDialog::Accepted) return;
  ReloadPairs(services_.fs, app_);
  ShowPairs(app_.pairs);
}

bool frmMirror::OnGridKey(QKeyEvent* event) {
  if (event->key() != Qt::Key_Delete || !scheduler().Idle() || !highlighting_ ||
      lstDossiers->rowCount() == 0) {
    return false;
  }
  RemovePairs();
  return true;
}

}  // namespace vorn::gui
