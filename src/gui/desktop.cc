#include "gui/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "gui/frm_mirror.h"
#include "gui/images.h"
#include "gui/qt_dialogs.h"
#include "platform/change_watcher.h"
#include "platform/systemd_service.h"

namespace vorn::gui {

int RunDesktop(int& argc, char** argv, const ProgramOptions& options) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Vorn");
  QApplication::setDesktopFileName("vorn");
  QApplication::setWindowIcon(TrayIcon(TrayState::kStopped));
  // Hidden in the tray, the program keeps running.
  QApplication::setQuitOnLastWindowClosed(false);
  const auto fs = platform::MakePosixFileSystem();
  const auto folder = platform::ResolveApplicationFolder(options.home);
  const auto service = platform::MakeSystemdServiceControl(
      platform::DefaultSystemdOptions(folder.ok() ? *folder : std::string(), false));
  const auto clock = platform::MakeSystemClock();
  // The window's one-second tick reads it; changes are seen at the tick.
  const auto watcher = platform::MakeChangeWatcher();
  QtDialogs dialogs;
  frmMirror window(MainWindowServices{*fs, *service, *clock, dialogs,
                                      [](const QUrl& url) { QDesktopServices::openUrl(url); },
                                      {}, watcher.get()});
  dialogs.SetParent(&window);
  if (!window.Load(options)) return window.exit_code();
  window.show();
  window.StartAutomatically();
  if (window.ended()) return window.exit_code();
  const int status = QApplication::exec();
  return window.ended() ? window.exit_code() : status;
}

}  // namespace vorn::gui
