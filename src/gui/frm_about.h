#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <string>

#include "base/text.h"

namespace vorn::gui {

/// The about box.
class frmAbout final : public QDialog {
  Q_OBJECT

 public:
  /// `open_help` opens the help file (the links lead there).
  frmAbout(QWidget* parent, Language language, bool copy_carries_streams,
           std::function<void(const std::string& anchor)> open_help);

  QLabel* lblCredit;
  QLabel* lblOFH;
  QLabel* lblLinkOFH;
  QLabel* lblLink;
  QPushButton* cmdOK;
};

}  // namespace vorn::gui
