#include "gui/log_dialogs.h"

#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/constants.h"
#include "gui/qt_dialogs.h"
#include "logs/log_texts.h"
#include "platform/system.h"
#include "ui/dialog_captions.h"

namespace vorn::gui {
frmPathLogs::frmPathLogs(QWidget* parent, IniFile& ini, MirrorSettings& settings)
    : QDialog(parent) {
  setObjectName("frmPathLogs");
  setWindowTitle(ToQt(ProductLabel()));
  const Language language = settings.Langue;
  chkLogs = Named(new QCheckBox(ToQt(Tr(LogText::kChkLogs, language)), this), "chkLogs");
  chkFichiersLogs =
      Named(new QCheckBox(ToQt(Tr(LogText::kChkFichiersLogs, language)), this), "chkFichiersLogs");
  lblTitre = Named(new QLabel(ToQt(Tr(LogText::kLogFolderTitle, language)), this), "lblTitre");
  Lecteurs = Named(new QComboBox(this), "Lecteurs");
  for (const std::string& place : platform::MountPoints()) Lecteurs->addItem(ToQt(place));
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
  model_->setRootPath("/");
  Chemins = Named(new QTreeView(this), "Chemins");
  Chemins->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) Chemins->hideColumn(column);
  Chemins->setHeaderHidden(true);
  Chemins->setMinimumSize(420, 260);
  lblDossier = Named(new QLabel(this), "lblDossier");
  cmdOK = Named(new QPushButton(OkCaption(), this), "cmdOK");
  cmdAnnuler = Named(new QPushButton(ToQt(Tr(LogText::kCancel, language)), this), "cmdAnnuler");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chkLogs);
  layout->addWidget(chkFichiersLogs);
  layout->addWidget(lblTitre);
  layout->addWidget(Lecteurs);
  layout->addWidget(Chemins, 1);
  layout->addWidget(lblDossier);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));

  chkLogs->setChecked(settings.Logs);
  chkFichiersLogs->setChecked(settings.FichiersLogs);
  ApplyEnabling();
  // A log folder that vanished since start-up cannot be opened in the tree;
  // the choice stays the stored one, so OK never writes an empty PathLogs.
  current_ = ToQt(settings.PathLogs);
  lblDossier->setText(current_);
  SelectDriveOf(current_);
  OpenPath(current_);

  // The model reads folders in the background, inserts their rows and sorts
  // them later: until the user takes the tree in hand, each such change
  // brings the chosen folder back into view.
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { Reveal(); });
  connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { Reveal(); });
  Chemins->installEventFilter(this);
  Chemins->viewport()->installEventFilter(this);
  connect(chkLogs, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
  connect(Lecteurs, &QComboBox::textActivated, this, [this](const QString& place) {
    if (!OpenPath(place)) SelectDriveOf(current_);
  });
  connect(Chemins->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) {
            // No current row (its folder just vanished) is no choice.
            if (!index.isValid()) return;
            current_ = model_->filePath(index);
            lblDossier->setText(current_);
          });
  connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdOK, &QPushButton::clicked, this, [this, &ini, &settings] {
    Store(ini, settings, &MirrorSettings::Logs, chkLogs->isChecked());
    Store(ini, settings, &MirrorSettings::FichiersLogs, chkFichiersLogs->isChecked());
    Store(ini, settings, &MirrorSettings::PathLogs, CurrentPath().toStdString());
    accept();
  });
}

QString frmPathLogs::CurrentPath() const {
  return current_;
}

bool frmPathLogs::OpenPath(const QString& path) {
  if (path.isEmpty() || !QDir(path).exists()) return false;
  const QModelIndex index = model_->index(path);
  if (!index.isValid()) return false;
  Chemins->setCurrentIndex(index);
  current_ = QDir(path).absolutePath();
  lblDossier->setText(current_);
  Reveal();
  return true;
}

bool frmPathLogs::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress) {
    following_ = false;
  }
  return QDialog::eventFilter(watched, event);
}

void frmPathLogs::Reveal() {
  if (!following_ || current_.isEmpty()) return;
  const QModelIndex index = model_->index(current_);
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
    Chemins->expand(parent);
  }
  Chemins->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void frmPathLogs::SelectDriveOf(const QString& path) {
  // The longest place the path lies in.
  int best = -1;
  for (int i = 0; i < Lecteurs->count(); ++i) {
    const QString place = Lecteurs->itemText(i);
    const bool inside = path == place || path.startsWith(place == "/" ? place : place + "/");
    if (inside && (best < 0 || place.size() > Lecteurs->itemText(best).size())) best = i;
  }
  if (best >= 0) Lecteurs->setCurrentIndex(best);
}

void frmPathLogs::ApplyEnabling() {
  const bool on = chkLogs->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(chkFichiersLogs), static_cast<QWidget*>(lblTitre),
                     static_cast<QWidget*>(Lecteurs), static_cast<QWidget*>(Chemins),
                     static_cast<QWidget*>(lblDossier)}) {
    w->setEnabled(on);
  }
}

frmPurgeLogs::frmPurgeLogs(QWidget* parent, Dialogs& dialogs, IniFile& ini,
                           MirrorSettings& settings)
    : QDialog(parent) {
  setObjectName("frmPurgeLogs");
  setWindowTitle(ToQt(ProductLabel()));
  const Language language = settings.Langue;
  chkPurgeLogs =
      Named(new QCheckBox(ToQt(Tr(LogText::kChkPurgeLogs, language)), this), "chkPurgeLogs");
  lblJours = Named(new QLabel(ToQt(Tr(LogText::kDays, language)), this), "lblJours");
  UpDown1 = new NumberBox(this, kPurgeLimits, ToQt(Tr(LogText::kMinimumReached, language)),
                          ToQt(Tr(LogText::kMaximumReached, language)), lblJours);
  cmdOK = Named(new QPushButton(OkCaption(), this), "cmdOK");
  cmdAnnuler = Named(new QPushButton(ToQt(Tr(LogText::kCancel, language)), this), "cmdAnnuler");
  chkPurgeLogs->setChecked(settings.PurgeLogs);
  UpDown1->Text1->setText(QString::number(settings.DelaiLogs));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chkPurgeLogs);
  layout->addWidget(UpDown1);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));

  connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdOK, &QPushButton::clicked, this, [this, &dialogs, &ini, &settings, language] {
    const std::string text = UpDown1->Text1->text().toStdString();
    const auto days = kPurgeLimits.Accept(text);
    if (!days) {
      dialogs.ShowTitledMessage(MessageIcon::kCritical, ProductLabel(),
                                std::string(Tr(LogText::kInvalidValuePrefix, language)) + text);
      return;
    }
    Store(ini, settings, &MirrorSettings::PurgeLogs, chkPurgeLogs->isChecked());
    Store(ini, settings, &MirrorSettings::DelaiLogs, *days);
    accept();
  });
}

}  // namespace vorn::gui
