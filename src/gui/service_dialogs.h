#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "platform/service_control.h"
#include "config/ini_file.h"
#include "config/mirror_settings.h"
#include "base/dialogs.h"
#include "base/system_info.h"

namespace vorn::gui {

/// The unknown-folder warning options; Try sends the network message at once.
class frmAvertirDossierErr final : public QDialog {
  Q_OBJECT

 public:
  frmAvertirDossierErr(QWidget* parent, Dialogs& dialogs, IniFile& ini, MirrorSettings& settings,
                       const SystemInfo& system);

  QCheckBox* chkDossierErr;
  QCheckBox* chkDossierErrSon;
  QCheckBox* chkDossierErrNetSend;
  QLineEdit* txtNetSend;
  QLabel* lblNetSend;
  QPushButton* cmdEssayer;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;

 private:
  void ApplyNetSendEnabling();
};

/// What the service dialog changes on the main window.
struct ServiceDialogEffects {
  std::function<void(bool service)> show_mode;  ///< the mode picture, label and tip
  std::function<void()> beep;
  std::function<void()> end_program;  ///< after installing: tray icon removed, process ends
};

/// The service administration dialog.
class frmAdminService final : public QDialog {
  Q_OBJECT

 public:
  frmAdminService(QWidget* parent, Dialogs& dialogs, IniFile& ini, MirrorSettings& settings,
                  platform::ServiceControl& service, ServiceDialogEffects effects);

  QLabel* lblInfo;
  QCheckBox* chkInteract;
  QLabel* lblInteract;
  QCheckBox* chkDossierErrEventLog;
  QLabel* lblService;
  QGroupBox* frameType;
  QRadioButton* optType0;
  QRadioButton* optType1;
  QRadioButton* optType2;
  QLabel* lblInstall;
  QPushButton* cmdInstall;
  QLabel* lblRemove;
  QPushButton* cmdRemove;
  QPushButton* cmdAnnuler;
};

}  // namespace vorn::gui
