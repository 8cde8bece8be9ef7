#pragma once

#include <QWidget>

#include "shell/dialogs.h"

namespace vorn::gui {

/// Message boxes and questions as Qt dialogs titled with the product name.
class QtDialogs final : public Dialogs {
 public:
  /// `parent` may change once the main window exists.
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ShowMessage(MessageIcon icon, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view prompt,
                                      std::string_view default_text) override;
  std::optional<std::string> PickFolder(std::string_view title) override;

 private:
  QWidget* parent_ = nullptr;
};

/// A text of the core, with its CR LF line ends, as Qt shows it.
QString ToQt(std::string_view text);

}  // namespace vorn::gui
