// frmMirror's lower pane: the listings of the chosen pair's folders, their
// tooltips, and the files the last pass found locked.

#include <QApplication>
#include <QMouseEvent>

#include "gui/frm_mirror.h"
#include "gui/log_viewer.h"
#include "gui/qt_dialogs.h"
#include "ui/folder_listing.h"

namespace vorn::gui {

void frmMirror::FillFileLists(int row) {
  ClearFileLists();
  ListPair(row, true);
}

void frmMirror::ListPair(int row, bool with_target) {
  const FolderPair* pair = app_.pairs.PairOfRow(row);
  if (pair == nullptr) return;
  const PairRow& shown = *app_.pairs.Row(row);
  ListFolder(lstFichiersSources, lblNbFichiersSources, pair->Source, shown.source_text);
  if (with_target) {
    ListFolder(lstFichiersCibles, lblNbFichiersCibles, pair->Target, shown.target_text);
  }
}

void frmMirror::ListFolder(QListWidget* list, QLabel* count, const std::string& folder,
                           const std::string& shown_folder) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  list->clear();
  for (const ListingEntry& entry : ListFolderContents(services_.fs, folder)) {
    auto* item = new QListWidgetItem(ToQt(entry.text), list);
    item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(entry.size));
  }
  count->setText(
      ToQt(CountLabelText(static_cast<size_t>(list->count()), shown_folder, app_.settings.Langue)));
  QApplication::restoreOverrideCursor();
}

void frmMirror::RefreshFileLists(bool target_changed) {
  if (lstDossiers->rowCount() == 0 || !highlighting_ || !app_.settings.AfficherFichiers) return;
  ListPair(lstDossiers->currentRow(), target_changed);
}

void frmMirror::ShowListingTooltip(QListWidget* list, const QPoint& position,
                                   Qt::MouseButtons buttons) {
  if (buttons != Qt::NoButton) return;
  if (list->count() == 0 || !list->viewport()->rect().contains(position)) {
    list->setToolTip({});
    return;
  }
  // Below the last entry the nearest one is the last.
  const QModelIndex index = list->indexAt(position);
  const QListWidgetItem* item =
      index.isValid() ? list->item(index.row()) : list->item(list->count() - 1);
  const ListingEntry entry{item->text().toStdString(), item->data(Qt::UserRole).toLongLong()};
  list->setToolTip(ToQt(ListingTooltip(entry, app_.settings.Langue, number_format_)));
}

void frmMirror::OpenLogViewer() {
  if (log_viewer_ != nullptr && log_viewer_->isVisible()) {
    MinimizeMainWindow();
    log_viewer_->showNormal();
    log_viewer_->raise();
    return;
  }
  delete log_viewer_;
  log_viewer_ = new frmVoirLogs(
      LogViewerServices{services_.fs, *this, services_.open_url, [this] { MinimizeMainWindow(); },
                        [this] {
                          if (isVisible()) showNormal();
                        }},
      LogFolder(services_.fs, app_.settings.PathLogs, app_.paths.app_folder), app_.settings.Langue);
  log_viewer_->show();
}

void frmMirror::ShowLockedFiles(const std::vector<std::string>& locked) {
  lstLocked->clear();
  for (const std::string& path : locked) lstLocked->addItem(ToQt(path));
}

}  // namespace vorn::gui
