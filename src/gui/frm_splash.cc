#include "gui/frm_splash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "base/constants.h"

namespace vorn::gui {

frmSplash::frmSplash(std::function<bool()> stop_after_first_pass,
                     std::function<void()> keep_running)
    : stop_after_first_pass_(std::move(stop_after_first_pass)),
      keep_running_(std::move(keep_running)) {
  setObjectName("frmSplash");
  setWindowTitle(QString(17, ' ') + ToQt(kProductName));
  lblMessage = new QLabel("Message", this);
  lblMessage->setObjectName("lblMessage");
  lblMessage->setWordWrap(true);
  lblMessage->setMinimumWidth(360);
  lblMessage->setMargin(12);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblMessage);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, [this] { QApplication::alert(this, 400); });
}

void frmSplash::ShowMessage(const QString& text) {
  lblMessage->setText(text);
  // On top, unless the notice of the one-pass run: that one must not hide
  // the rest of the desktop while the program works unattended.
  setWindowFlag(Qt::WindowStaysOnTopHint, !stop_after_first_pass_());
  adjustSize();
  show();
  raise();
  Timer1->start();
}

void frmSplash::mousePressEvent(QMouseEvent*) {
  Timer1->stop();
  close();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
  if (stop_after_first_pass_()) {
    Timer1->stop();
    keep_running_();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace vorn::gui
