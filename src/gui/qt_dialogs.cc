#include "gui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
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
  // Questions may quote a file name (a log's date); none of them is markup.
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace vorn::gui

namespace vorn::gui {

std::optional<std::string> QtDialogs::InputBox(std::string_view prompt,
                                               std::string_view default_text) {
  bool accepted = false;
  const QString text = QInputDialog::getText(parent_, ToQt(kProductName), ToQt(prompt),
                                             QLineEdit::Normal, ToQt(default_text), &accepted);
  if (!accepted) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtDialogs::PickFolder(std::string_view title) {
  const QString folder = QFileDialog::getExistingDirectory(parent_, ToQt(title));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace vorn::gui
