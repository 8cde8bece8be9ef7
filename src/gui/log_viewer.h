#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace vorn::gui {

/// What the log viewer asks of its surroundings.
struct LogViewerServices {
  platform::FileSystem& fs;
  Dialogs& dialogs;
  /// Hands a document to the desktop, which opens it in the user's browser.
  std::function<void(const QUrl& url)> open_url;
  /// The main window steps aside when the user opens a log...
  std::function<void()> minimize_main;
  /// ...and comes back to normal when the viewer closes, if it is on screen.
  std::function<void()> restore_main;
};

/// The log viewer: the days of the daily logs as a grid of dates, the most
/// recent opened at once, any other opened with a click, removed from a
/// right-click menu. It stays on top and closes itself away when closed.
class frmVoirLogs final : public QWidget {
  Q_OBJECT

 public:
  frmVoirLogs(LogViewerServices services, std::string log_folder, Language language);

  /// The date labels, oldest first; a removed day's label stays, hidden.
  std::vector<QLabel*> Label;
  QScrollArea* grid_area;
  QScrollBar* VScroll1;
  QMenu* mnuSupprimer;
  QAction* mnuSupprimerLog;
  QAction* mnuAnnuler;

  /// Whether a date's log was opened since the viewer was loaded (shown purple).
  static bool WasOpened(const QLabel* label);
  /// The right-click menu for a date, as the user gets it.
  void ShowPopup(int index, const QPoint& global_position);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Open(int index);
  void RemoveSelected();

  LogViewerServices services_;
  std::string folder_;
  Language language_;
  int selected_ = -1;  ///< the date last right-clicked
};

}  // namespace vorn::gui
