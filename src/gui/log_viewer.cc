#include "gui/log_viewer.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "logs/daily_log.h"
#include "logs/log_texts.h"
#include "logs/log_viewer.h"

namespace vorn::gui {
namespace {

constexpr char kOpened[] = "opened";

void MarkOpened(QLabel* label) {
  label->setProperty(kOpened, true);
  label->setStyleSheet("color: rgb(128, 0, 128);");
}

}  // namespace

frmVoirLogs::frmVoirLogs(LogViewerServices services, std::string log_folder, Language language)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      services_(std::move(services)),
      folder_(std::move(log_folder)),
      language_(language) {
  setObjectName("frmVoirLogs");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(ToQt(Tr(LogText::kViewerTitle, language)));

  auto* grid_widget = new QWidget;
  auto* grid = new QGridLayout(grid_widget);
  grid->setHorizontalSpacing(24);
  grid->setVerticalSpacing(10);
  const std::vector<std::string> dates = ListLogDates(services_.fs, folder_);
  for (size_t i = 0; i < dates.size(); ++i) {
    auto* label = Named(new QLabel(QString::fromStdString(dates[i]), grid_widget), "Label");
    // The date is cut from a file name, which anyone can make look like markup.
    label->setTextFormat(Qt::PlainText);
    label->setProperty("index", static_cast<int>(i));
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    const DatePlace place = DateLabelPlace(static_cast<int>(i));
    grid->addWidget(label, place.row, place.column);
    Label.push_back(label);
  }
  grid->setRowStretch(grid->rowCount(), 1);
  grid->setColumnStretch(4, 1);

  grid_area = Named(new QScrollArea(this), "grid_area");
  grid_area->setWidget(grid_widget);
  grid_area->setWidgetResizable(true);
  grid_area->setFrameShape(QFrame::NoFrame);
  grid_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  VScroll1 = Named(grid_area->verticalScrollBar(), "VScroll1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_area);
  resize(440, 220);

  mnuSupprimer = Named(new QMenu(this), "mnuSupprimer");
  mnuSupprimerLog = Named(mnuSupprimer->addAction(QString()), "mnuSupprimerLog");
  mnuSupprimer->addSeparator()->setObjectName("Sep1");
  mnuAnnuler = Named(mnuSupprimer->addAction(QString()), "mnuAnnuler");
  connect(mnuSupprimerLog, &QAction::triggered, this, &frmVoirLogs::RemoveSelected);

  // The most recent day is what the user usually wants: it opens at once,
  // without sending the main window away.
  if (!Label.empty()) {
    MarkOpened(Label.back());
    services_.open_url(LocalFileUrl(LogPathForDate(folder_, Label.back()->text().toStdString())));
  }
}

bool frmVoirLogs::WasOpened(const QLabel* label) {
  return label->property(kOpened).toBool();
}

void frmVoirLogs::ShowPopup(int index, const QPoint& global_position) {
  const std::string date = Label[static_cast<size_t>(index)]->text().toStdString();
  mnuSupprimerLog->setText(ToQt(RemoveLogText(date, language_)));
  mnuAnnuler->setText(ToQt(Tr(LogText::kPopupCancel, language_)));
  selected_ = index;
  mnuSupprimer->popup(global_position);
}

bool frmVoirLogs::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (auto* label = qobject_cast<QLabel*>(watched);
        label != nullptr && label->objectName() == "Label") {
      const auto* press = static_cast<QMouseEvent*>(event);
      const int index = label->property("index").toInt();
      if (press->button() == Qt::LeftButton) {
        Open(index);
      } else if (press->button() == Qt::RightButton) {
        ShowPopup(index, press->globalPosition().toPoint());
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmVoirLogs::Open(int index) {
  QLabel* label = Label[static_cast<size_t>(index)];
  MarkOpened(label);
  services_.minimize_main();
  services_.open_url(LocalFileUrl(LogPathForDate(folder_, label->text().toStdString())));
}

void frmVoirLogs::RemoveSelected() {
  if (selected_ < 0) return;
  QLabel* label = Label[static_cast<size_t>(selected_)];
  const std::string date = label->text().toStdString();
  if (!services_.dialogs.AskYesNo(RemoveLogText(date, language_))) return;
  DeleteLog(services_.fs, folder_, date);
  // The gap stays: the other dates keep their places until the next opening.
  QSizePolicy keep_place = label->sizePolicy();
  keep_place.setRetainSizeWhenHidden(true);
  label->setSizePolicy(keep_place);
  label->hide();
}

void frmVoirLogs::closeEvent(QCloseEvent* event) {
  services_.restore_main();
  QWidget::closeEvent(event);
}

}  // namespace vorn::gui
