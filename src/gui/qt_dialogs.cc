#include "gui/qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTranslator>
#include <memory>

#include "base/constants.h"
#include "base/text.h"

namespace vorn::gui {

QString ToQt(std::string_view text) {
  QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  converted.replace("\r\n", "\n");
  return converted;
}

QUrl LocalFileUrl(const std::string& path, std::string_view anchor) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  if (!anchor.empty()) url.setFragment(ToQt(anchor));
  return url;
}

void QtDialogs::ShowMessage(MessageIcon icon, std::string_view text) {
  ShowTitledMessage(icon, kProductName, text);
}

void QtDialogs::ShowTitledMessage(MessageIcon icon, std::string_view title, std::string_view text) {
  const QMessageBox::Icon qt_icon = icon == MessageIcon::kCritical      ? QMessageBox::Critical
                                    : icon == MessageIcon::kExclamation ? QMessageBox::Warning
                                                                        : QMessageBox::Information;
  QMessageBox box(qt_icon, ToQt(title), ToQt(text), QMessageBox::Ok, parent_);
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

TextInputBox::TextInputBox(QWidget* parent, std::string_view prompt, std::string_view default_text)
    : QInputDialog(parent) {
  setWindowTitle(ToQt(kProductName));
  setLabelText(ToQt(prompt));
  setTextValue(ToQt(default_text));
  auto* line = findChild<QLineEdit*>();
  line->setMinimumWidth(60 * line->fontMetrics().averageCharWidth());
}

void TextInputBox::setVisible(bool visible) {
  QInputDialog::setVisible(visible);
  if (!visible) return;
  // Showing selects the whole text with the cursor at its end, which scrolls
  // a long path to its tail; the same selection the other way round keeps
  // the start in view.
  auto* line = findChild<QLineEdit*>();
  const int length = static_cast<int>(line->text().size());
  line->setSelection(length, -length);
}

std::optional<std::string> QtDialogs::InputBox(std::string_view prompt,
                                               std::string_view default_text) {
  TextInputBox box(parent_, prompt, default_text);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

std::optional<std::string> QtDialogs::PickFolder(std::string_view title) {
  const QString folder = QFileDialog::getExistingDirectory(parent_, ToQt(title));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

void UseQtTranslations(Language language) {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  // The program's Portuguese is Portugal's; Debian ships only Brazil's
  // translation of Qt, which still reads better than English buttons.
  const QStringList files = language == kFrench       ? QStringList{"qtbase_fr"}
                            : language == kPortuguese ? QStringList{"qtbase_pt_PT", "qtbase_pt",
                                                                    "qtbase_pt_BR"}
                                                      : QStringList{};
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const QString& file : files) {
    auto loaded = std::make_unique<QTranslator>();
    if (!loaded->load(file, folder)) continue;
    translator = loaded.release();
    QCoreApplication::installTranslator(translator);
    return;
  }
}

QString OkCaption() {
  // The context and source text Qt itself translates its OK button under.
  return QCoreApplication::translate("QPlatformTheme", "OK");
}

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace vorn::gui
