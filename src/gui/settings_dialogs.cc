#include "gui/settings_dialogs.h"

#include <algorithm>

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "base/constants.h"
#include "gui/qt_dialogs.h"
#include "ui/dialog_captions.h"
#include "base/number_reading.h"
#include "config/settings_texts.h"

namespace vorn::gui {
namespace {

void Setup(QDialog* dialog, const char* name, QPushButton*& ok, QPushButton*& cancel) {
  dialog->setObjectName(name);
  dialog->setWindowTitle(ToQt(ProductLabel()));
  ok = Named(new QPushButton(OkCaption(), dialog), "cmdOK");
  cancel = Named(new QPushButton(dialog), "cmdAnnuler");
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

// A message that comes and goes keeps its place, so the dialog neither grows
// when it first shows nor keeps a gap once it is gone.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

void ApplyCaptions(QWidget* window, const std::vector<ControlText>& captions) {
  for (const ControlText& caption : captions) {
    const QString name = QString::fromStdString(caption.control);
    const QString text = ToQt(caption.text);
    QWidget* widget = window->objectName() == name ? window : window->findChild<QWidget*>(name);
    if (widget == nullptr) continue;
    if (caption.tooltip) {
      widget->setToolTip(text);
    } else if (widget == window) {
      window->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      group->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      button->setText(text);
    }
  }
}

NumberBox::NumberBox(QWidget* parent, const LimitedNumber& limits, const QString& minimum_text,
                     const QString& maximum_text, QLabel* unit)
    : QWidget(parent), limits_(limits), minimum_text_(minimum_text), maximum_text_(maximum_text) {
  setObjectName("UpDown1");
  Text1 = Named(new QLineEdit(this), "Text1");
  // Room for the widest value whatever else the row holds: the frame and
  // margins are what the box's own size hint adds around its 17 characters.
  const QFontMetrics metrics = Text1->fontMetrics();
  const int frame = Text1->sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
  const int widest = std::max(metrics.horizontalAdvance(QString::number(limits.maximum)),
                              metrics.horizontalAdvance(QString::number(limits.minimum)));
  Text1->setMinimumWidth(widest + frame);
  Text1->setMaximumWidth(widest + frame + metrics.horizontalAdvance(QLatin1Char('0')) * 2);
  up = Named(new QToolButton(this), "up");
  up->setArrowType(Qt::UpArrow);
  down = Named(new QToolButton(this), "down");
  down->setArrowType(Qt::DownArrow);
  Label1 = Named(new QLabel(this), "Label1");
  KeepPlaceWhenHidden(Label1);
  Label1->setMinimumWidth(
      std::max(metrics.horizontalAdvance(minimum_text), metrics.horizontalAdvance(maximum_text)));
  Label1->hide();
  auto* row = new QHBoxLayout;
  row->addWidget(Text1);
  row->addWidget(up);
  row->addWidget(down);
  row->addWidget(unit);
  row->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(row);
  layout->addWidget(Label1);
  connect(up, &QToolButton::clicked, this, [this] { Step(true); });
  connect(down, &QToolButton::clicked, this, [this] { Step(false); });
}

void NumberBox::Step(bool upward) {
  const LimitedNumber::Step step = limits_.Arrow(Text1->text().toStdString(), upward);
  Text1->setText(QString::fromStdString(step.text));
  Label1->setText(step.at_minimum ? minimum_text_ : maximum_text_);
  Label1->setVisible(step.at_minimum || step.at_maximum);
  Text1->setFocus();
}

frmSetMode::frmSetMode(QWidget* parent, Dialogs& dialogs, IniFile& ini, FolderPair& pair,
                       const PairRow& row, int16_t temporisation, Language language,
                       SystemFamily family, bool idle)
    : QDialog(parent),
      dialogs_(dialogs),
      ini_(ini),
      pair_(pair),
      temporisation_(temporisation),
      language_(language),
      family_(family) {
  setObjectName("frmSetMode");
  lblFrom = Named(new QLabel(this), "lblFrom");
  lblSource = Named(new QLabel(ToQt(row.source_text).trimmed(), this), "lblSource");
  lblTo = Named(new QLabel(this), "lblTo");
  lblCible = Named(new QLabel(ToQt(row.target_text).trimmed(), this), "lblCible");
  chkEnable = Named(new QCheckBox(this), "chkEnable");
  optTempo0 = Named(new QRadioButton(this), "optTempo0");
  optTempo1 = Named(new QRadioButton(this), "optTempo1");
  txtMiroirN = Named(new QLineEdit(this), "txtMiroirN");
  txtMiroirN->setMaximumWidth(80);
  lblMiroirN1 = Named(new QLabel(this), "lblMiroirN1");
  lblMiroirN2 = Named(new QLabel(this), "lblMiroirN2");
  lblErr = Named(new QLabel(this), "lblErr");
  lblErr->setStyleSheet("color: rgb(200, 0, 0);");
  // The two take turns in one place (see the layout below).
  KeepPlaceWhenHidden(lblMiroirN2);
  KeepPlaceWhenHidden(lblErr);
  chkDeplacer = Named(new QCheckBox(this), "chkDeplacer");
  chkRenommer = Named(new QCheckBox(this), "chkRenommer");
  chkEffacer = Named(new QCheckBox(this), "chkEffacer");
  chkSourceVide = Named(new QCheckBox(this), "chkSourceVide");
  frameMAJ = Named(new QGroupBox(this), "frameMAJ");
  optNouveau0 = Named(new QRadioButton(frameMAJ), "optNouveau0");
  optNouveau1 = Named(new QRadioButton(frameMAJ), "optNouveau1");
  chkNoMilliseconds = Named(new QCheckBox(this), "chkNoMilliseconds");
  frameFilet = Named(new QGroupBox(this), "frameFilet");
  lblVersions = Named(new QLabel(frameFilet), "lblVersions");
  txtVersions = Named(new QLineEdit(frameFilet), "txtVersions");
  txtVersions->setMaximumWidth(80);
  lblExclusions = Named(new QLabel(frameFilet), "lblExclusions");
  txtExclusions = Named(new QLineEdit(frameFilet), "txtExclusions");
  chkDecalageHoraire = Named(new QCheckBox(frameFilet), "chkDecalageHoraire");
  chkLiensPhysiques = Named(new QCheckBox(frameFilet), "chkLiensPhysiques");
  cmdOK = Named(new QPushButton(OkCaption(), this), "cmdOK");
  cmdAnnuler = Named(new QPushButton(this), "cmdAnnuler");

  auto* layout = new QVBoxLayout(this);
  auto* folders = new QGridLayout;
  folders->addWidget(lblFrom, 0, 0);
  folders->addWidget(lblSource, 0, 1);
  folders->addWidget(lblTo, 1, 0);
  folders->addWidget(lblCible, 1, 1);
  folders->setColumnStretch(1, 1);
  layout->addLayout(folders);
  layout->addWidget(chkEnable);
  layout->addWidget(optTempo0);
  auto* specific = new QHBoxLayout;
  specific->addWidget(optTempo1);
  specific->addWidget(txtMiroirN);
  specific->addWidget(lblMiroirN1, 1);
  layout->addLayout(specific);
  auto* spelled_out = new QGridLayout;
  spelled_out->addWidget(lblMiroirN2, 0, 0);
  spelled_out->addWidget(lblErr, 0, 0);
  layout->addLayout(spelled_out);
  layout->addWidget(chkDeplacer);
  layout->addWidget(chkRenommer);
  layout->addWidget(chkEffacer);
  // Indented under chkEffacer, whose choice it refines.
  auto* empty_source = new QHBoxLayout;
  empty_source->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
  empty_source->addWidget(chkSourceVide, 1);
  layout->addLayout(empty_source);
  auto* update = new QVBoxLayout(frameMAJ);
  update->addWidget(optNouveau0);
  update->addWidget(optNouveau1);
  layout->addWidget(frameMAJ);
  layout->addWidget(chkNoMilliseconds);
  auto* safety_net = new QGridLayout(frameFilet);
  safety_net->addWidget(lblVersions, 0, 0);
  safety_net->addWidget(txtVersions, 0, 1);
  safety_net->addWidget(lblExclusions, 1, 0, 1, 2);
  safety_net->addWidget(txtExclusions, 2, 0, 1, 2);
  safety_net->addWidget(chkDecalageHoraire, 3, 0, 1, 2);
  safety_net->addWidget(chkLiensPhysiques, 4, 0, 1, 2);
  layout->addWidget(frameFilet);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));

  ApplyCaptions(this, SetModeCaptions(language, temporisation));
  cmdOK->setEnabled(idle);
  Show(OpenPairSettings(pair, family));
  NumberChanged();

  connect(optTempo0, &QRadioButton::toggled, this,
          [this](bool on) { txtMiroirN->setEnabled(!on); });
  connect(txtMiroirN, &QLineEdit::textChanged, this, &frmSetMode::NumberChanged);
  connect(chkDeplacer, &QCheckBox::clicked, this, [this](bool on) {
    PairSettingsForm form = Read();
    SetMove(form, on, family_);
    Show(form);
  });
  connect(chkEffacer, &QCheckBox::clicked, this, [this](bool on) {
    PairSettingsForm form = Read();
    SetRemove(form, on);
    Show(form);
  });
  connect(cmdOK, &QPushButton::clicked, this, &frmSetMode::Ok);
  connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

void frmSetMode::Show(const PairSettingsForm& form) {
  chkEnable->setChecked(form.enabled);
  (form.specific_interval ? optTempo1 : optTempo0)->setChecked(true);
  txtMiroirN->setEnabled(form.specific_interval);
  if (txtMiroirN->text().toStdString() != form.interval_count) {
    txtMiroirN->setText(ToQt(form.interval_count));
  }
  chkDeplacer->setChecked(form.move);
  chkRenommer->setChecked(form.rename);
  chkRenommer->setEnabled(form.rename_allowed);
  chkEffacer->setChecked(form.remove);
  chkEffacer->setEnabled(form.remove_allowed);
  chkSourceVide->setChecked(form.source_vide);
  chkSourceVide->setEnabled(form.source_vide_allowed);
  (form.newer_only ? optNouveau1 : optNouveau0)->setChecked(true);
  frameMAJ->setEnabled(form.update_rule_allowed);
  chkNoMilliseconds->setChecked(form.tolerance);
  txtVersions->setText(ToQt(form.keep_versions));
  txtExclusions->setText(ToQt(form.exclusions));
  chkDecalageHoraire->setChecked(form.hour_shift);
  chkLiensPhysiques->setChecked(form.hard_links);
}

PairSettingsForm frmSetMode::Read() const {
  PairSettingsForm form;
  form.enabled = chkEnable->isChecked();
  form.specific_interval = optTempo1->isChecked();
  form.interval_count = txtMiroirN->text().toStdString();
  form.move = chkDeplacer->isChecked();
  form.rename = chkRenommer->isChecked();
  form.rename_allowed = chkRenommer->isEnabled();
  form.remove = chkEffacer->isChecked();
  form.remove_allowed = chkEffacer->isEnabled();
  form.source_vide = chkSourceVide->isChecked();
  form.source_vide_allowed = chkSourceVide->isEnabled();
  form.newer_only = optNouveau1->isChecked();
  form.update_rule_allowed = frameMAJ->isEnabled();
  form.tolerance = chkNoMilliseconds->isChecked();
  form.keep_versions = txtVersions->text().trimmed().toStdString();
  form.exclusions = txtExclusions->text().toStdString();
  form.hour_shift = chkDecalageHoraire->isChecked();
  form.hard_links = chkLiensPhysiques->isChecked();
  return form;
}

void frmSetMode::NumberChanged() {
  const std::string text = txtMiroirN->text().toStdString();
  const std::string error = IntervalCountError(text, language_, IntervalErrorPlace::kLabel);
  lblErr->setText(ToQt(error));
  lblErr->setVisible(!error.empty());
  lblMiroirN2->setVisible(error.empty());
  if (error.empty()) {
    lblMiroirN2->setText(ToQt(IntervalSpelledOut(*WholeNumber(text), temporisation_, language_)));
  }
}

void frmSetMode::Ok() {
  const PairSettingsForm form = Read();
  std::string error =
      IntervalCountError(form.interval_count, language_, IntervalErrorPlace::kMessageBox);
  if (error.empty()) error = SafetyNetError(form, language_);
  if (!error.empty()) {
    dialogs_.ShowMessage(MessageIcon::kExclamation, error);
    return;
  }
  SavePairSettings(ini_, pair_, form);
  accept();
}

frmTempo::frmTempo(QWidget* parent, Dialogs& dialogs, IniFile& ini, MirrorSettings& settings,
                   std::function<void()> restart)
    : QDialog(parent) {
  Setup(this, "frmTempo", cmdOK, cmdAnnuler);
  const Language language = settings.Langue;
  lblTempo = Named(new QLabel(this), "lblTempo");
  lblSecondes = Named(new QLabel(this), "lblSecondes");
  UpDown1 =
      new NumberBox(this, kTemporisationLimits, ToQt(Tr(SettingsText::kTempoMinimum, language)),
                    ToQt(Tr(SettingsText::kTempoMaximum, language)), lblSecondes);
  UpDown1->Text1->setText(QString::number(settings.Temporisation));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTempo);
  layout->addWidget(UpDown1);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));
  ApplyCaptions(this, TempoCaptions(language));
  connect(cmdOK, &QPushButton::clicked, this, [this, &dialogs, &ini, &settings, restart, language] {
    const std::string text = UpDown1->Text1->text().toStdString();
    const auto value = kTemporisationLimits.Accept(text);
    if (!value) {
      dialogs.ShowTitledMessage(MessageIcon::kCritical, windowTitle().toStdString(),
                                std::string(Tr(SettingsText::kTempoInvalid, language)) + text);
      return;
    }
    Store(ini, settings, &MirrorSettings::Temporisation, *value);
    restart();
    accept();
  });
}

frmPerformance::frmPerformance(QWidget* parent, IniFile& ini, MirrorSettings& settings)
    : QDialog(parent) {
  Setup(this, "frmPerformance", cmdOK, cmdAnnuler);
  HScroll1 = Named(new QScrollBar(Qt::Horizontal, this), "HScroll1");
  HScroll1->setRange(kPerformanceLimits.minimum, kPerformanceLimits.maximum);
  HScroll1->setPageStep(10);
  HScroll1->setValue(settings.Performance);
  HScroll1->setMinimumWidth(360);
  lblPerformance = Named(new QLabel(this), "lblPerformance");
  lblMin = Named(new QLabel(this), "lblMin");
  lblMax = Named(new QLabel(this), "lblMax");
  // Each end of the bar carries its own text, with a gap between the two wide
  // enough that they never read as one sentence.
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblPerformance);
  auto* bar = new QGridLayout;
  bar->addWidget(HScroll1, 0, 0, 1, 3);
  bar->addWidget(lblMin, 1, 0, Qt::AlignLeft);
  bar->addWidget(lblMax, 1, 2, Qt::AlignRight);
  bar->setColumnMinimumWidth(1, 4 * fontMetrics().horizontalAdvance(QLatin1Char('M')));
  bar->setColumnStretch(1, 1);
  layout->addLayout(bar);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));
  ApplyCaptions(this, PerformanceCaptions(settings.Langue));
  connect(cmdOK, &QPushButton::clicked, this, [this, &ini, &settings] {
    Store(ini, settings, &MirrorSettings::Performance, static_cast<int16_t>(HScroll1->value()));
    accept();
  });
}

frmPrefixeCible::frmPrefixeCible(QWidget* parent, IniFile& ini, MirrorSettings& settings)
    : QDialog(parent) {
  Setup(this, "frmPrefixeCible", cmdOK, cmdAnnuler);
  Text1 = Named(new QLineEdit(ToQt(settings.PrefixeCibleDefaut), this), "Text1");
  Text2 = Named(new QLineEdit(ToQt(settings.PrefixeCibleDefautUNC), this), "Text2");
  lblPrefixe = Named(new QLabel(this), "lblPrefixe");
  lblPrefixeExemple = Named(new QLabel(this), "lblPrefixeExemple");
  lblPrefixeUNC1 = Named(new QLabel(this), "lblPrefixeUNC1");
  lblPrefixeUNC2 = Named(new QLabel(this), "lblPrefixeUNC2");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblPrefixe);
  layout->addWidget(Text1);
  layout->addWidget(lblPrefixeExemple);
  layout->addWidget(lblPrefixeUNC1);
  layout->addWidget(Text2);
  layout->addWidget(lblPrefixeUNC2);
  layout->addLayout(ButtonRow(cmdOK, cmdAnnuler));
  ApplyCaptions(this, PrefixeCibleCaptions(settings.Langue));
  connect(cmdOK, &QPushButton::clicked, this, [this, &ini, &settings] {
    // Stored exactly as typed: an empty prefix switches the derived target off.
    Store(ini, settings, &MirrorSettings::PrefixeCibleDefaut, Text1->text().toStdString());
    Store(ini, settings, &MirrorSettings::PrefixeCibleDefautUNC, Text2->text().toStdString());
    accept();
  });
}

}  // namespace vorn::gui
