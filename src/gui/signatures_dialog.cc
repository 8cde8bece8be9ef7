#include "gui/signatures_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "gui/settings_dialogs.h"

namespace vorn::gui {

frmGestionSignatures::frmGestionSignatures(QWidget* parent, Dialogs& dialogs,
                                           platform::FileSystem& fs,
                                           const std::string& signatures_path,
                                           SignatureTable& table, Language language,
                                           std::function<void()> beep)
    : QDialog(parent),
      dialogs_(dialogs),
      fs_(fs),
      path_(signatures_path),
      table_(table),
      beep_(std::move(beep)),
      editor_(language) {
  setObjectName("frmGestionSignatures");
  setModal(true);
  lstSignatures = Named(new QTreeWidget(this), "lstSignatures");
  lstSignatures->setRootIsDecorated(false);
  lstSignatures->setSelectionMode(QAbstractItemView::SingleSelection);
  lstSignatures->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstSignatures->setMinimumSize(560, 240);
  QHeaderView* header = lstSignatures->header();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(true);
  lblSignature = Named(new QLabel(this), "lblSignature");
  lblExtension = Named(new QLabel(this), "lblExtension");
  lblType = Named(new QLabel(this), "lblType");
  txtSignature = Named(new QLineEdit(this), "txtSignature");
  txtExtension = Named(new QLineEdit(this), "txtExtension");
  txtType = Named(new QLineEdit(this), "txtType");
  const QFontMetrics metrics = txtSignature->fontMetrics();
  txtSignature->setMinimumWidth(metrics.horizontalAdvance("WWWWWWWW") + 12);
  txtExtension->setMinimumWidth(metrics.horizontalAdvance("WWWW") + 12);
  lblMsg = Named(new QLabel(this), "lblMsg");
  lblMsg->setMinimumHeight(lblMsg->fontMetrics().height());
  cmdAjouter = Named(new QPushButton(this), "cmdAjouter");
  cmdSupprimer = Named(new QPushButton(this), "cmdSupprimer");
  cmdOK = Named(new QPushButton(this), "cmdOK");
  cmdAnnuler = Named(new QPushButton(this), "cmdAnnuler");
  // Enter in a box adds what was typed rather than closing the window.
  cmdAjouter->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lstSignatures, 1);
  auto* boxes = new QGridLayout;
  boxes->addWidget(lblSignature, 0, 0, Qt::AlignBottom);
  boxes->addWidget(lblExtension, 0, 1, Qt::AlignBottom);
  boxes->addWidget(lblType, 0, 2, Qt::AlignBottom);
  boxes->addWidget(txtSignature, 1, 0);
  boxes->addWidget(txtExtension, 1, 1);
  boxes->addWidget(txtType, 1, 2);
  boxes->setColumnStretch(2, 1);
  layout->addLayout(boxes);
  layout->addWidget(lblMsg);
  QHBoxLayout* buttons = ButtonRow(cmdOK, cmdAnnuler);
  buttons->insertWidget(0, cmdAjouter);
  buttons->insertWidget(1, cmdSupprimer);
  layout->addLayout(buttons);

  ApplyCaptions(this, editor_.Captions());
  QStringList headings;
  for (const std::string& heading : editor_.ColumnHeadings()) headings << ToQt(heading);
  lstSignatures->setHeaderLabels(headings);
  editor_.Open(fs_, path_, dialogs_);
  Fill();
  setWindowTitle(ToQt(editor_.Caption()));

  txtExtension->installEventFilter(this);
  txtType->installEventFilter(this);
  lstSignatures->installEventFilter(this);
  connect(lstSignatures, &QTreeWidget::itemSelectionChanged, this, [this] {
    // A click that leaves no row selected leaves the boxes as they are.
    const std::optional<size_t> row = SelectedRow();
    if (!row) return;
    const MacSignature& signature = editor_.rows()[*row];
    ClearMessage();
    txtSignature->setText(ToQt(signature.type_creator));
    txtExtension->setText(ToQt(signature.extension));
    txtType->setText(ToQt(signature.description));
  });
  connect(header, &QHeaderView::sectionClicked, this, &frmGestionSignatures::SortBy);
  connect(cmdAjouter, &QPushButton::clicked, this, &frmGestionSignatures::AddOrModify);
  connect(cmdSupprimer, &QPushButton::clicked, this, &frmGestionSignatures::Remove);
  connect(cmdOK, &QPushButton::clicked, this, &frmGestionSignatures::Save);
  connect(cmdAnnuler, &QPushButton::clicked, this, &frmGestionSignatures::reject);
}

void frmGestionSignatures::Fill() {
  const QSignalBlocker quiet(lstSignatures);
  lstSignatures->clear();
  for (const MacSignature& row : editor_.rows()) {
    lstSignatures->addTopLevelItem(new QTreeWidgetItem(
        QStringList{ToQt(row.type_creator), ToQt(row.extension), ToQt(row.description)}));
  }
}

std::optional<size_t> frmGestionSignatures::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = lstSignatures->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return static_cast<size_t>(lstSignatures->indexOfTopLevelItem(selected.first()));
}

void frmGestionSignatures::Select(std::optional<size_t> row) {
  // The boxes already hold what a row chosen here shows.
  const QSignalBlocker quiet(lstSignatures);
  lstSignatures->clearSelection();
  QTreeWidgetItem* item = row ? lstSignatures->topLevelItem(static_cast<int>(*row)) : nullptr;
  lstSignatures->setCurrentItem(item);
  if (item == nullptr) return;
  item->setSelected(true);
  lstSignatures->scrollToItem(item);
}

void frmGestionSignatures::ClearMessage() {
  lblMsg->clear();
}

void frmGestionSignatures::Show(const SignatureOutcome& outcome) {
  const StatusColour colour = ToneColour(outcome.tone);
  lblMsg->setStyleSheet(
      QString("color: rgb(%1, %2, %3);").arg(colour.red).arg(colour.green).arg(colour.blue));
  lblMsg->setText(ToQt(outcome.message));
  setWindowTitle(ToQt(editor_.Caption()));
  if (outcome.beep()) beep_();
}

void frmGestionSignatures::AddOrModify() {
  ClearMessage();
  const SignatureOutcome outcome =
      editor_.AddOrModify({txtSignature->text().toStdString(), txtExtension->text().toStdString(),
                           txtType->text().toStdString()});
  Show(outcome);
  if (outcome.tone != StatusTone::kChange) return;
  Fill();
  Select(outcome.row);
  txtSignature->setFocus();
}

void frmGestionSignatures::Remove() {
  const SignatureOutcome outcome = editor_.Remove(SelectedRow());
  Show(outcome);
  if (outcome.tone != StatusTone::kChange) return;
  Fill();
  Select(std::nullopt);
}

void frmGestionSignatures::SortBy(int column) {
  const std::optional<size_t> selected = editor_.SortBy(column, SelectedRow());
  Fill();
  Select(selected);
  lstSignatures->header()->setSortIndicator(
      column, editor_.ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
  lstSignatures->header()->setSortIndicatorShown(true);
}

void frmGestionSignatures::Save() {
  if (editor_.modified()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<std::string> failure = editor_.Save(fs_, path_, table_, dialogs_);
    QApplication::restoreOverrideCursor();
    if (failure) {
      dialogs_.ShowMessage(MessageIcon::kCritical, *failure);
      return;
    }
  }
  accept();
}

bool frmGestionSignatures::MayDiscard() {
  return !editor_.modified() || dialogs_.AskYesNo(editor_.DiscardQuestion());
}

void frmGestionSignatures::reject() {
  if (MayDiscard()) QDialog::reject();
}

void frmGestionSignatures::closeEvent(QCloseEvent* event) {
  if (!isVisible() || MayDiscard()) {
    QDialog::reject();
    event->accept();
  } else {
    event->ignore();
  }
}

void frmGestionSignatures::AlignColumns() {
  const int start = lstSignatures->x() + lstSignatures->frameWidth();
  QHeaderView* header = lstSignatures->header();
  header->resizeSection(0, txtExtension->x() - start);
  header->resizeSection(1, txtType->x() - txtExtension->x());
}

bool frmGestionSignatures::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstSignatures && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    Remove();
    return true;
  }
  if ((watched == txtExtension || watched == txtType) &&
      (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    AlignColumns();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vorn::gui
