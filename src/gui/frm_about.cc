#include "gui/frm_about.h"

#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "runtime/runtime_texts.h"

namespace vorn::gui {
namespace {

QLabel* Link(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel("<a href=\"#\">" + text.toHtmlEscaped() + "</a>", parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  return label;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent, Language language, bool copy_carries_streams,
                   std::function<void(const std::string&)> open_help)
    : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle(ToQt(Tr(ShellText::kAboutTitle, language)));
  lblCredit = new QLabel(ToQt(AboutCredit(copy_carries_streams, language)), this);
  lblCredit->setObjectName("lblCredit");
  lblOFH = new QLabel(ToQt(Tr(ShellText::kAboutOpenFiles, language)), this);
  lblOFH->setObjectName("lblOFH");
  lblOFH->setWordWrap(true);
  // The help file says how open files are handled on this system, and is
  // the program's own documentation: both links lead there.
  lblLinkOFH = Link(this, "lblLinkOFH", ToQt(Tr(ShellText::kAboutHelpOpenFiles, language)));
  lblLink = Link(this, "lblLink", ToQt(Tr(ShellText::kAboutHelp, language)));
  cmdOK = new QPushButton(OkCaption(), this);
  cmdOK->setObjectName("cmdOK");
  connect(lblLinkOFH, &QLabel::linkActivated, this,
          [open_help](const QString&) { open_help("locked-files"); });
  connect(lblLink, &QLabel::linkActivated, this, [open_help](const QString&) { open_help(""); });
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : {static_cast<QWidget*>(lblCredit), static_cast<QWidget*>(lblOFH),
                     static_cast<QWidget*>(lblLinkOFH), static_cast<QWidget*>(lblLink)}) {
    layout->addWidget(w);
  }
  layout->addWidget(cmdOK, 0, Qt::AlignRight);
}

}  // namespace vorn::gui
