#include "gui/service_dialogs.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "platform/process.h"
#include "engine/folder_warnings.h"
#include "runtime/service_admin.h"
#include "runtime/service_texts.h"

namespace vorn::gui {
frmAvertirDossierErr::frmAvertirDossierErr(QWidget* parent, Dialogs& dialogs, IniFile& ini,
                                           MirrorSettings& settings, const SystemInfo& system)
    : QDialog(parent) {
  setObjectName("frmAvertirDossierErr");
  const Language language = settings.Langue;
  const auto text = [language](ServiceText id) { return ToQt(Tr(id, language)); };
  setWindowTitle(text(ServiceText::kWarningTitle));
  chkDossierErr = Named(new QCheckBox(text(ServiceText::kChkDossierErr), this), "chkDossierErr");
  chkDossierErrSon =
      Named(new QCheckBox(text(ServiceText::kChkDossierErrSon), this), "chkDossierErrSon");
  chkDossierErrNetSend =
      Named(new QCheckBox(text(ServiceText::kChkDossierErrNetSend), this), "chkDossierErrNetSend");
  txtNetSend = Named(new QLineEdit(ToQt(settings.MessageNetSend), this), "txtNetSend");
  txtNetSend->setMinimumWidth(420);
  lblNetSend = Named(new QLabel(text(ServiceText::kNetSendNote), this), "lblNetSend");
  cmdEssayer = Named(new QPushButton(text(ServiceText::kTry), this), "cmdEssayer");
  cmdOK = Named(new QPushButton(OkCaption(), this), "cmdOK");
  cmdAnnuler = Named(new QPushButton(text(ServiceText::kCancel), this), "cmdAnnuler");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chkDossierErr);
  layout->addWidget(chkDossierErrSon);
  layout->addWidget(chkDossierErrNetSend);
  auto* net = new QHBoxLayout;
  net->addWidget(txtNetSend, 1);
  net->addWidget(cmdEssayer);
  layout->addLayout(net);
  layout->addWidget(lblNetSend);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));

  chkDossierErr->setChecked(settings.ErreurDossier);
  chkDossierErrSon->setChecked(settings.ErreurDossierSon);
  if (system.nt) {
    chkDossierErrNetSend->setChecked(settings.ErreurDossierNetSend);
    ApplyNetSendEnabling();
  } else {
    // Without the network messenger the option cannot be chosen; OK stores "0".
    for (QWidget* w :
         {static_cast<QWidget*>(chkDossierErrNetSend), static_cast<QWidget*>(cmdEssayer),
          static_cast<QWidget*>(txtNetSend), static_cast<QWidget*>(lblNetSend)}) {
      w->setEnabled(false);
    }
  }

  connect(chkDossierErrNetSend, &QCheckBox::clicked, this, [this] { ApplyNetSendEnabling(); });
  connect(cmdEssayer, &QPushButton::clicked, this, [this, &dialogs, language] {
    const std::string message = txtNetSend->text().toStdString();
    if (message.empty()) {
      dialogs.ShowMessage(MessageIcon::kExclamation, Tr(ServiceText::kNoMessage, language));
      return;
    }
    platform::StartDetachedShellCommand(NetSendCommand(message));
  });
  connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdOK, &QPushButton::clicked, this, [this, &ini, &settings] {
    Store(ini, settings, &MirrorSettings::ErreurDossier, chkDossierErr->isChecked());
    Store(ini, settings, &MirrorSettings::ErreurDossierSon, chkDossierErrSon->isChecked());
    Store(ini, settings, &MirrorSettings::ErreurDossierNetSend, chkDossierErrNetSend->isChecked());
    Store(ini, settings, &MirrorSettings::MessageNetSend, txtNetSend->text().toStdString());
    accept();
  });
}

void frmAvertirDossierErr::ApplyNetSendEnabling() {
  const bool on = chkDossierErrNetSend->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(cmdEssayer), static_cast<QWidget*>(txtNetSend),
                     static_cast<QWidget*>(lblNetSend)}) {
    w->setEnabled(on);
  }
}

frmAdminService::frmAdminService(QWidget* parent, Dialogs& dialogs, IniFile& ini,
                                 MirrorSettings& settings, platform::ServiceControl& service,
                                 ServiceDialogEffects effects)
    : QDialog(parent) {
  setObjectName("frmAdminService");
  const Language language = settings.Langue;
  const auto text = [language](ServiceText id) { return ToQt(Tr(id, language)); };
  setWindowTitle(text(ServiceText::kAdminTitle));
  lblInfo = Named(new QLabel(text(ServiceText::kInfo), this), "lblInfo");
  lblInfo->setWordWrap(true);
  lblInfo->setMinimumWidth(520);
  chkInteract = Named(new QCheckBox(text(ServiceText::kInteract), this), "chkInteract");
  lblInteract = Named(new QLabel(text(ServiceText::kInteractWarning), this), "lblInteract");
  lblInteract->setStyleSheet("color: rgb(200, 0, 0);");
  chkDossierErrEventLog =
      Named(new QCheckBox(text(ServiceText::kEventLogOption), this), "chkDossierErrEventLog");
  lblService = Named(new QLabel(ToQt(ServiceStateText(service.IsInstalled(), language)), this),
                     "lblService");
  frameType = Named(new QGroupBox(text(ServiceText::kStartType), this), "frameType");
  optType0 = Named(new QRadioButton(text(ServiceText::kAutomatic), frameType), "optType0");
  optType1 = Named(new QRadioButton(text(ServiceText::kManual), frameType), "optType1");
  optType2 = Named(new QRadioButton(text(ServiceText::kDisabled), frameType), "optType2");
  lblInstall = Named(new QLabel(text(ServiceText::kInstallNote), this), "lblInstall");
  cmdInstall = Named(new QPushButton(text(ServiceText::kInstall), this), "cmdInstall");
  lblRemove = Named(new QLabel(text(ServiceText::kRemoveNote), this), "lblRemove");
  cmdRemove = Named(new QPushButton(text(ServiceText::kRemove), this), "cmdRemove");
  cmdAnnuler = Named(new QPushButton(text(ServiceText::kCancel), this), "cmdAnnuler");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblInfo);
  layout->addWidget(chkInteract);
  layout->addWidget(lblInteract);
  layout->addWidget(chkDossierErrEventLog);
  layout->addWidget(lblService);
  auto* types = new QHBoxLayout(frameType);
  for (QRadioButton* option : {optType0, optType1, optType2}) types->addWidget(option);
  layout->addWidget(frameType);
  auto* install = new QHBoxLayout;
  install->addWidget(lblInstall, 1);
  install->addWidget(cmdInstall);
  layout->addLayout(install);
  auto* remove = new QHBoxLayout;
  remove->addWidget(lblRemove, 1);
  remove->addWidget(cmdRemove);
  layout->addLayout(remove);
  layout->addWidget(cmdAnnuler, 0, Qt::AlignRight);

  chkDossierErrEventLog->setChecked(settings.ErreurDossierEventLog);
  const int start_type = service.StartType();
  (start_type == platform::kStartAutomatic ? optType0
   : start_type == platform::kStartManual  ? optType1
                                           : optType2)
      ->setChecked(true);
  chkInteract->setChecked(service.InteractWithDesktop());
  lblInteract->setVisible(chkInteract->isChecked());

  connect(chkDossierErrEventLog, &QCheckBox::clicked, this, [&ini, &settings](bool on) {
    Store(ini, settings, &MirrorSettings::ErreurDossierEventLog, on);
  });
  connect(chkInteract, &QCheckBox::clicked, this, [this](bool on) { lblInteract->setVisible(on); });
  connect(cmdInstall, &QPushButton::clicked, this, [this, &dialogs, &service, effects, language] {
    const int type = optType0->isChecked()   ? platform::kStartAutomatic
                     : optType1->isChecked() ? platform::kStartManual
                                             : platform::kStartDisabled;
    const ServiceAction action = InstallService(service, type, chkInteract->isChecked(), language);
    lblService->setText(ToQt(action.state_text));
    if (!action.done) {
      effects.beep();
      return;
    }
    effects.show_mode(true);
    dialogs.ShowMessage(MessageIcon::kInformation, action.message);
    effects.end_program();
    accept();
  });
  connect(cmdRemove, &QPushButton::clicked, this, [this, &service, effects, language] {
    const ServiceAction action = RemoveService(service, language);
    lblService->setText(ToQt(action.state_text));
    if (!action.done) effects.beep();
    effects.show_mode(false);
  });
  connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vorn::gui
