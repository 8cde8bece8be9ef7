#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/system_info.h"
#include "base/text.h"
#include "config/folder_pairs.h"
#include "config/ini_file.h"

namespace vorn {

/// The smallest and largest number of default intervals a pair may wait.
inline constexpr int kMinIntervalCount = 2;
inline constexpr int kMaxIntervalCount = 64000;

/// The per-pair settings dialog's state: what its controls show and allow.
struct PairSettingsForm {
  bool enabled = true;               ///< chkEnable
  bool specific_interval = false;    ///< optTempo 1 (else 0, the default interval)
  std::string interval_count = "2";  ///< txtMiroirN
  bool move = false;                 ///< chkDeplacer
  bool rename = false;               ///< chkRenommer
  bool rename_allowed = false;       ///< chkRenommer enabled
  bool remove = false;               ///< chkEffacer
  bool remove_allowed = true;        ///< chkEffacer enabled
  bool source_vide = false;          ///< chkSourceVide
  bool source_vide_allowed = false;  ///< chkSourceVide enabled: only removal empties a target
  bool newer_only = false;           ///< optNouveau 1 (else 0)
  bool update_rule_allowed = true;   ///< frameMAJ enabled
  bool tolerance = false;            ///< chkNoMilliseconds
  std::string keep_versions = "0";   ///< txtVersions: days, 0 for none
  std::string exclusions;            ///< txtExclusions: patterns separated by '|'
  bool hour_shift = false;           ///< chkDecalageHoraire: one hour's difference is none
  bool hard_links = false;           ///< chkLiensPhysiques: hard links stay hard links
};

/// Why the safety net's boxes cannot be saved (empty when they can): days
/// out of 0..3650 or not a number, or a pattern starting with '!'.
std::string SafetyNetError(const PairSettingsForm& form, Language language);

/// The form as the dialog opens on a pair.
PairSettingsForm OpenPairSettings(const FolderPair& pair, SystemFamily family);

/// chkDeplacer clicked: the move constraints.
void SetMove(PairSettingsForm& form, bool move, SystemFamily family);

/// chkEffacer clicked.
void SetRemove(PairSettingsForm& form, bool remove);

/// Why an interval count is refused (empty when it is accepted): "Invalid
/// value" or the range message, in the language, worded for where it is
/// shown (the label's range text differs slightly from the message box's).
enum class IntervalErrorPlace { kLabel, kMessageBox };
std::string IntervalCountError(const std::string& text, Language language,
                               IntervalErrorPlace place);

/// The interval spelled out: "i.e. 0 h 1 min 0 sec" for a count of default
/// intervals of `temporisation` seconds.
std::string IntervalSpelledOut(double count, int16_t temporisation, Language language);

/// The pair's eight settings from the form, in memory only; false (and the
/// pair untouched) when the count is refused.
bool ApplyPairSettings(FolderPair& pair, const PairSettingsForm& form);

/// Writes the pair's eight settings in their order to its section, in one
/// replacement of the file; false when it could not be written.
bool WritePairSettings(IniFile& ini, const FolderPair& pair);

/// OK: the pair's settings from the form (when the count is accepted), and
/// its eight keys written in their order to its section. False when the
/// count is refused; nothing is written then.
bool SavePairSettings(IniFile& ini, FolderPair& pair, const PairSettingsForm& form);

}  // namespace vorn
