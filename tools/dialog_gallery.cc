// Renders every settings dialog in English and French to PNG files, for a
// person to look at: dialog_gallery <output folder>. Run under a real X
// server (scripts/screenshots.sh uses Xvfb) so fonts and sizes are real.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "gui/log_dialogs.h"
#include "gui/qt_dialogs.h"
#include "gui/service_dialogs.h"
#include "gui/settings_dialogs.h"
#include "gui/signatures_dialog.h"
#include "platform/file_system.h"
#include "platform/systemd_service.h"
#include "config/settings_texts.h"

namespace vorn::gui {
namespace {

// Nothing is asked while the pictures are taken; what a dialog would say
// goes nowhere.
class SilentDialogs final : public Dialogs {
 public:
  void ShowMessage(MessageIcon, std::string_view) override {}
  void ShowTitledMessage(MessageIcon, std::string_view, std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::optional<std::string> InputBox(std::string_view, std::string_view) override { return {}; }
  std::optional<std::string> PickFolder(std::string_view) override { return {}; }
};

void Settle() {
  // Give background work (the folder tree) and layouts a moment to settle.
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

// `change`, when given, is what a person does once the dialog is on screen.
bool Save(QDialog& dialog, const QString& path, const std::function<void()>& change = {}) {
  dialog.show();
  dialog.adjustSize();
  Settle();
  if (change) {
    change();
    Settle();
  }
  const bool saved = dialog.grab().save(path);
  if (!saved) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  dialog.close();
  return saved;
}

int Run(const QString& out) {
  QTemporaryDir home;
  QDir().mkpath(out);
  const auto fs = platform::MakePosixFileSystem();
  IniFile ini(*fs, (home.path() + "/Vorn.ini").toStdString());
  SilentDialogs dialogs;
  platform::SystemdOptions service_options;
  service_options.unit_folder = home.path().toStdString();
  service_options.executable = "/usr/bin/vorn";
  service_options.log = [](platform::EventType, const std::string&) {};
  const auto service = platform::MakeSystemdServiceControl(service_options);

  FolderPair pair;
  pair.Number = 1;
  pair.NbTemporisations = "6";
  pair.Effacer = "1";
  PairRow row;
  row.source_text = "/home/anne/Documents";
  row.target_text = "/mnt/backup/anne/Documents";

  SystemInfo system;
  system.nt = true;
  bool ok = true;
  for (const Language language : {kEnglish, kFrench}) {
    const QString suffix = language == kFrench ? "fr" : "en";
    MirrorSettings settings;
    settings.Langue = language;
    // A folder every system has, so the picture shows a familiar tree.
    settings.PathLogs = QDir("/var/log").exists() ? "/var/log" : home.path().toStdString();
    settings.PrefixeCibleDefaut = "/mnt/backup";
    settings.Logs = true;
    settings.ErreurDossier = true;
    const auto name = [&](const char* dialog) {
      return out + "/" + dialog + "-" + suffix + ".png";
    };
    {
      frmSetMode dialog(nullptr, dialogs, ini, pair, row, 10, language, SystemFamily::kNt,
                        /*idle=*/true);
      ok &= Save(dialog, name("frmSetMode"));
    }
    {
      // The error once shown and gone again: the dialog keeps its size.
      frmSetMode dialog(nullptr, dialogs, ini, pair, row, 10, language, SystemFamily::kNt,
                        /*idle=*/true);
      ok &= Save(dialog, name("frmSetMode-error"), [&dialog] {
        dialog.txtMiroirN->setText("1");
        Settle();
        dialog.txtMiroirN->setText("6");
        Settle();
        dialog.txtMiroirN->setText("1");
      });
    }
    {
      settings.Temporisation = 32766;
      frmTempo dialog(nullptr, dialogs, ini, settings, [] {});
      ok &= Save(dialog, name("frmTempo"), [&dialog] { dialog.UpDown1->up->click(); });
    }
    {
      frmPerformance dialog(nullptr, ini, settings);
      ok &= Save(dialog, name("frmPerformance"));
    }
    {
      frmPrefixeCible dialog(nullptr, ini, settings);
      ok &= Save(dialog, name("frmPrefixeCible"));
    }
    {
      frmPathLogs dialog(nullptr, ini, settings);
      ok &= Save(dialog, name("frmPathLogs"));
    }
    {
      settings.DelaiLogs = 365;
      frmPurgeLogs dialog(nullptr, dialogs, ini, settings);
      ok &= Save(dialog, name("frmPurgeLogs"), [&dialog] { dialog.UpDown1->up->click(); });
    }
    {
      TextInputBox dialog(nullptr, Tr(SettingsText::kAddSourcePrompt, language),
                          "/home/anne/Documents/Projects/2024/Clients/Northwind/Reports/Q4");
      ok &= Save(dialog, name("TextInputBox"));
    }
    {
      frmAvertirDossierErr dialog(nullptr, dialogs, ini, settings, system);
      ok &= Save(dialog, name("frmAvertirDossierErr"));
    }
    {
      frmAdminService dialog(nullptr, dialogs, ini, settings, *service,
                             ServiceDialogEffects{[](bool) {}, [] {}, [] {}});
      ok &= Save(dialog, name("frmAdminService"));
    }
    {
      const std::string signatures = (home.path() + "/Signatures.txt").toStdString();
      ok &= fs->ReplaceFile(signatures,
                            "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                            "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                            "\"8BPS8BIM\",\"psd\",\"Photoshop Image\"\r\n"
                            "\"PDF CARO\",\"pdf\",\"Acrobat Document\"\r\n")
                .ok();
      SignatureTable table;
      frmGestionSignatures dialog(nullptr, dialogs, *fs, signatures, table, language, [] {});
      // A row chosen and added again unchanged shows the status line.
      dialog.lstSignatures->setCurrentItem(dialog.lstSignatures->topLevelItem(1));
      dialog.cmdAjouter->click();
      ok &= Save(dialog, name("frmGestionSignatures"));
    }
  }
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace vorn::gui

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: dialog_gallery <output folder>\n");
    return 2;
  }
  return vorn::gui::Run(QString::fromLocal8Bit(argv[1]));
}
