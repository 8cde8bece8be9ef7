#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "gui/settings_dialogs.h"
#include "config/ini_file.h"
#include "config/mirror_settings.h"
#include "base/dialogs.h"

namespace vorn::gui {

/// The log settings dialog: logging, file names, and the log folder chosen
/// from the places of this system (Lecteurs) and their folder tree (Chemins).
class frmPathLogs final : public QDialog {
  Q_OBJECT

 public:
  frmPathLogs(QWidget* parent, IniFile& ini, MirrorSettings& settings);

  /// The folder the tree has open.
  QString CurrentPath() const;
  /// Opens a folder in the tree; false when it cannot be opened.
  bool OpenPath(const QString& path);

  QCheckBox* chkLogs;
  QCheckBox* chkFichiersLogs;
  QLabel* lblTitre;
  QComboBox* Lecteurs;
  QTreeView* Chemins;
  QLabel* lblDossier;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyEnabling();
  void SelectDriveOf(const QString& path);
  /// Expands the way to the chosen folder and scrolls it into view.
  void Reveal();
  QFileSystemModel* model_;
  QString current_;
  bool following_ = true;  ///< keep the chosen folder in view while the tree fills
};

/// The purge dialog.
class frmPurgeLogs final : public QDialog {
  Q_OBJECT

 public:
  frmPurgeLogs(QWidget* parent, Dialogs& dialogs, IniFile& ini, MirrorSettings& settings);

  QCheckBox* chkPurgeLogs;
  NumberBox* UpDown1;
  QLabel* lblJours;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;
};

}  // namespace vorn::gui
