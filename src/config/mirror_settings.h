#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "platform/file_system.h"
#include "config/ini_file.h"

namespace vorn {

/// Section names of the configuration file.
inline constexpr std::string_view kConfigurationSection = "Configuration";
inline constexpr std::string_view kLogsSection = "Logs";

/// The text "net send" gets by default: a recipient, then the quoted message.
std::string DefaultMessageNetSend();

/// The global settings, named after their keys, with their defaults. Loaded
/// once at start-up; afterwards each change updates a field and writes its
/// key in the same step (see Store).
struct MirrorSettings {
  // [Configuration]
  Language Langue = kUnset;
  bool MiroirSousDossiers = true;
  bool Effacement = false;  ///< initial Effacer of a new pair
  bool CopieSecurisee = false;
  bool CopierAttributs = false;
  /// Copies get their source's owner and group where Vorn runs as root.
  bool CopierProprietaire = true;
  bool CopierSecurite = false;
  bool CopierSecuriteDossiers = false;
  bool CopierSecuriteTout = false;
  int16_t Temporisation = 10;          ///< seconds between timed passes
  int32_t MaxTimeInterval = 10000000;  ///< time tolerance in 100-ns units
  int16_t Performance = 1;             ///< event-loop turns per yield point
  /// Seconds of quiet after a change in a source before the next timed pass
  /// starts early; 0: sources are not watched, the interval alone counts.
  int16_t WatchQuiet = 1;
  /// Threads that read the disk for a pass, its own included: 0 chooses,
  /// 1 is the pass alone, more lists and looks up ahead of it.
  int16_t Helpers = 0;
  std::string PrefixeCibleDefaut;
  std::string PrefixeCibleDefautUNC;
  bool AfficherFichiers = false;
  bool AfficherLocked = false;
  bool Automatique = false;
  bool ArretAutomatique = false;
  bool ErreurDossier = false;
  bool ErreurDossierSon = false;
  bool ErreurDossierNetSend = false;
  std::string MessageNetSend = DefaultMessageNetSend();
  bool ErreurDossierEventLog = false;
  // [Logs]
  bool Logs = false;
  bool FichiersLogs = false;
  std::string PathLogs;  ///< the application folder when empty or not a folder
  bool PurgeLogs = false;
  int16_t DelaiLogs = 10;  ///< number of daily logs the purge keeps

  bool operator==(const MirrorSettings&) const = default;
};

/// The one four-way security choice kept in three flags.
enum class SecurityChoice {
  kNone,                ///< no security copy
  kModified,            ///< of created and modified files
  kModifiedAndFolders,  ///< of those and of folders
  kEveryFile,           ///< of every file, unchanged ones too
};

/// Reads `Langue` alone; start-up needs it before anything else.
Language ReadLanguage(const IniFile& ini);

/// Reads every global key, applying the defaults and the replacements (a 0
/// interval, tolerance, performance or purge limit takes its default; the log
/// folder becomes its LogFolder). Replacements
/// stay in memory; nothing is written.
MirrorSettings LoadSettings(const IniFile& ini, platform::FileSystem& fs,
                            const std::string& app_folder);

/// The folder daily logs go to and are listed from: `path_logs` when it is an
/// absolute path to a folder that opens, else `app_folder`. An empty or
/// relative value would name the working directory, which is never it.
std::string LogFolder(platform::FileSystem& fs, const std::string& path_logs,
                      const std::string& app_folder);

/// The choice the three security flags stand for.
SecurityChoice SecurityChoiceOf(const MirrorSettings& settings);

/// Sets a field and writes its key at once; a write that fails is ignored
/// and the new value stays in memory, as the program's settings rules say.
void Store(IniFile& ini, MirrorSettings& settings, bool MirrorSettings::*field, bool value);
void Store(IniFile& ini, MirrorSettings& settings, int16_t MirrorSettings::*field, int16_t value);
void Store(IniFile& ini, MirrorSettings& settings, int32_t MirrorSettings::*field, int32_t value);
void Store(IniFile& ini, MirrorSettings& settings, std::string MirrorSettings::*field,
           std::string value);
void Store(IniFile& ini, MirrorSettings& settings, Language MirrorSettings::*field,
           Language value);
/// Sets and writes the three security flags of a choice; false (and nothing
/// written) when it is the current choice already.
bool StoreSecurityChoice(IniFile& ini, MirrorSettings& settings, SecurityChoice choice);

/// Chooses the normal (false) or the secure (true) copy; false when unchanged.
bool StoreCopyType(IniFile& ini, MirrorSettings& settings, bool secure);

/// Shows the file lists in the lower pane or not; showing them hides the
/// locked list, as the two share the pane.
void StoreFileListsShown(IniFile& ini, MirrorSettings& settings, bool on);
/// Shows the locked list or not; showing it hides the file lists.
void StoreLockedListShown(IniFile& ini, MirrorSettings& settings, bool on);

/// Whether any unknown-folder warning is on (the check mark of its menu).
bool UnknownFolderWarningsOn(const MirrorSettings& settings);

}  // namespace vorn
