#include "gui/qt_dialogs.h"

#include <QMessageBox>

#include "shell/constants.h"

namespace vorn::gui {

QString ToQt(std::string_view text) {
  QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  converted.replace("\r\n", "\n");
  return converted;
}

void QtDialogs::ShowMessage(MessageIcon icon, std::string_view text) {
  const QMessageBox::Icon qt_icon = icon == MessageIcon::kCritical      ? QMessageBox::Critical
                                    : icon == MessageIcon::kExclamation ? QMessageBox::Warning
                                                                        : QMessageBox::Information;
  QMessageBox box(qt_icon, ToQt(kProductName), ToQt(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtDialogs::AskYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::Question, ToQt(kProductName), ToQt(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace vorn::gui
