#pragma once

#include <functional>

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

#include "config/folder_pairs.h"
#include "config/ini_file.h"
#include "config/limits.h"
#include "config/mirror_settings.h"
#include "config/pair_settings.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace vorn::gui {

/// Applies a sweep of captions (and tooltips) to a window's named controls.
void ApplyCaptions(QWidget* window, const std::vector<ControlText>& captions);

/// A number box with up and down arrows, the unit after them, and its limit
/// message on a row of its own below.
class NumberBox final : public QWidget {
  Q_OBJECT

 public:
  NumberBox(QWidget* parent, const LimitedNumber& limits, const QString& minimum_text,
            const QString& maximum_text, QLabel* unit);
  QLineEdit* Text1;
  QToolButton* up;
  QToolButton* down;
  QLabel* Label1;

 private:
  void Step(bool upward);
  LimitedNumber limits_;
  QString minimum_text_;
  QString maximum_text_;
};

/// The per-pair settings dialog.
class frmSetMode final : public QDialog {
  Q_OBJECT

 public:
  frmSetMode(QWidget* parent, Dialogs& dialogs, IniFile& ini, FolderPair& pair, const PairRow& row,
             int16_t temporisation, Language language, SystemFamily family, bool idle);

  QLabel* lblFrom;
  QLabel* lblSource;
  QLabel* lblTo;
  QLabel* lblCible;
  QCheckBox* chkEnable;
  QRadioButton* optTempo0;
  QRadioButton* optTempo1;
  QLineEdit* txtMiroirN;
  QLabel* lblMiroirN1;
  QLabel* lblMiroirN2;
  QLabel* lblErr;  ///< in the place of lblMiroirN2 while the count is refused
  QCheckBox* chkDeplacer;
  QCheckBox* chkRenommer;
  QCheckBox* chkEffacer;
  QCheckBox* chkSourceVide;
  QGroupBox* frameMAJ;
  QRadioButton* optNouveau0;
  QRadioButton* optNouveau1;
  QCheckBox* chkNoMilliseconds;
  QGroupBox* frameFilet;
  QLabel* lblVersions;
  QLineEdit* txtVersions;
  QLabel* lblExclusions;
  QLineEdit* txtExclusions;
  QCheckBox* chkDecalageHoraire;
  QCheckBox* chkLiensPhysiques;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;

 private:
  void Show(const PairSettingsForm& form);
  PairSettingsForm Read() const;
  void NumberChanged();
  void Ok();

  Dialogs& dialogs_;
  IniFile& ini_;
  FolderPair& pair_;
  int16_t temporisation_;
  Language language_;
  SystemFamily family_;
};

/// The default interval dialog. `restart` restarts the countdown and the
/// wait bar's range once the new interval is stored.
class frmTempo final : public QDialog {
  Q_OBJECT

 public:
  frmTempo(QWidget* parent, Dialogs& dialogs, IniFile& ini, MirrorSettings& settings,
           std::function<void()> restart);
  NumberBox* UpDown1;
  QLabel* lblTempo;
  QLabel* lblSecondes;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;
};

/// The performance dialog.
class frmPerformance final : public QDialog {
  Q_OBJECT

 public:
  frmPerformance(QWidget* parent, IniFile& ini, MirrorSettings& settings);
  QScrollBar* HScroll1;
  QLabel* lblPerformance;
  QLabel* lblMin;
  QLabel* lblMax;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;
};

/// The default target prefixes dialog.
class frmPrefixeCible final : public QDialog {
  Q_OBJECT

 public:
  frmPrefixeCible(QWidget* parent, IniFile& ini, MirrorSettings& settings);
  QLineEdit* Text1;
  QLineEdit* Text2;
  QLabel* lblPrefixe;
  QLabel* lblPrefixeExemple;
  QLabel* lblPrefixeUNC1;
  QLabel* lblPrefixeUNC2;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;
};

}  // namespace vorn::gui
