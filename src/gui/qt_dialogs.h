#pragma once

#include <QHBoxLayout>
#include <QInputDialog>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#include "base/dialogs.h"
#include "base/text.h"

namespace vorn::gui {

/// Message boxes and questions as Qt dialogs titled with the product name.
class QtDialogs final : public Dialogs {
 public:
  /// `parent` may change once the main window exists.
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ShowMessage(MessageIcon icon, std::string_view text) override;
  void ShowTitledMessage(MessageIcon icon, std::string_view title, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view prompt,
                                      std::string_view default_text) override;
  std::optional<std::string> PickFolder(std::string_view title) override;

 private:
  QWidget* parent_ = nullptr;
};

/// The input box, laid out for a path: wide enough for a typical one (about
/// sixty characters) and opening on the start of a long default text, all of
/// it selected so that typing replaces it.
class TextInputBox final : public QInputDialog {
  Q_OBJECT

 public:
  TextInputBox(QWidget* parent, std::string_view prompt, std::string_view default_text);
  void setVisible(bool visible) override;
};

/// A text of the core, with its CR LF line ends, as Qt shows it.
QString ToQt(std::string_view text);

/// The URL of a local file, and of a place in it when `anchor` is given. A
/// path may hold '#', '?' or '%', which a URL pasted together by hand would
/// take for its own delimiters.
QUrl LocalFileUrl(const std::string& path, std::string_view anchor = {});

/// A control (or action) given its design name as object name, so tests and
/// caption sweeps find it by that name.
template <typename T>
T* Named(T* object, const char* name) {
  object->setObjectName(name);
  return object;
}

/// Makes Qt's own texts (the standard buttons of message boxes, input and
/// folder dialogs) speak `language`; English when its translation file is
/// not installed.
void UseQtTranslations(Language language);

/// The standard OK button's caption in the language of Qt's texts.
QString OkCaption();

/// OK and Cancel at the bottom right of a dialog.
QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel);

}  // namespace vorn::gui
