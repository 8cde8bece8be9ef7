#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vorn::gui {

/// The message window: one label, shown without waiting, blinking for
/// attention until clicked away. A key pressed while the program is set to
/// stop after its first pass keeps it running instead.
class frmSplash final : public QWidget {
  Q_OBJECT

 public:
  /// `stop_after_first_pass` reads the setting now; `keep_running` is what a
  /// key does then.
  frmSplash(std::function<bool()> stop_after_first_pass, std::function<void()> keep_running);

  /// Shows a text (rich text where it holds markup) and the window.
  void ShowMessage(const QString& text);

  QLabel* lblMessage;
  QTimer* Timer1;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<bool()> stop_after_first_pass_;
  std::function<void()> keep_running_;
};

}  // namespace vorn::gui
