#include "config/mirror_settings.h"

#include <algorithm>
#include <cstdlib>
#include <variant>

#include "config/limits.h"
#include "config/setting_keys.h"
#include "platform/path.h"
#include "base/number_reading.h"
#include "base/constants.h"

namespace vorn {
namespace {

// Sets a field from the text read for it; an empty text keeps the default.
struct FieldReader {
  MirrorSettings& settings;
  const std::string& text;
  void operator()(bool MirrorSettings::*field) const { settings.*field = text == "1"; }
  void operator()(int16_t MirrorSettings::*field) const { settings.*field = ReadInteger(text); }
  void operator()(int32_t MirrorSettings::*field) const { settings.*field = ReadLong(text); }
  void operator()(std::string MirrorSettings::*field) const { settings.*field = text; }
  void operator()(Language MirrorSettings::*field) const {
    settings.*field = static_cast<Language>(ReadInteger(text));
  }
};

template <typename T>
const SettingKey& KeyOf(T MirrorSettings::*field) {
  for (const SettingKey& key : SettingKeys()) {
    const auto* candidate = std::get_if<T MirrorSettings::*>(&key.field);
    if (candidate != nullptr && *candidate == field) return key;
  }
  // Every field of MirrorSettings has a key; reaching here is a programming error.
  std::abort();
}

void WriteKey(IniFile& ini, const SettingKey& key, const std::string& text) {
  // A failed write is ignored on purpose: the setting keeps its new value for
  // this run, and the next change tries again.
  ini.Write(key.section, key.name, text);
}

const char* FlagText(bool value) {
  return value ? "1" : "0";
}

}  // namespace

std::string DefaultMessageNetSend() {
  return "Administrator \"Warning from " + std::string(kProductName) + ": unknown folder\"";
}

Language ReadLanguage(const IniFile& ini) {
  return static_cast<Language>(ReadInteger(ini.Read(kConfigurationSection, "Langue")));
}

MirrorSettings LoadSettings(const IniFile& ini, platform::FileSystem& fs,
                            const std::string& app_folder) {
  MirrorSettings settings;
  for (const SettingKey& key : SettingKeys()) {
    const std::string text = ini.Read(key.section, key.name);
    if (!text.empty()) std::visit(FieldReader{settings, text}, key.field);
  }
  if (settings.Temporisation == 0) settings.Temporisation = 10;
  if (settings.MaxTimeInterval == 0) settings.MaxTimeInterval = 10000000;
  if (settings.Performance == 0) settings.Performance = 1;
  settings.Helpers = static_cast<int16_t>(
      std::clamp<int>(settings.Helpers, kHelpersLimits.minimum, kHelpersLimits.maximum));
  if (settings.DelaiLogs == 0) settings.DelaiLogs = 10;
  settings.PathLogs = LogFolder(fs, settings.PathLogs, app_folder);
  // The three security keys stand for one choice; map them back to it.
  const SecurityChoice choice = SecurityChoiceOf(settings);
  settings.CopierSecurite = choice != SecurityChoice::kNone;
  settings.CopierSecuriteDossiers = choice == SecurityChoice::kModifiedAndFolders;
  settings.CopierSecuriteTout = choice == SecurityChoice::kEveryFile;
  return settings;
}

std::string LogFolder(platform::FileSystem& fs, const std::string& path_logs,
                      const std::string& app_folder) {
  if (!platform::IsAbsolutePath(path_logs) || !fs.OpenFolder(path_logs).ok()) return app_folder;
  return path_logs;
}

SecurityChoice SecurityChoiceOf(const MirrorSettings& settings) {
  if (!settings.CopierSecurite) return SecurityChoice::kNone;
  if (settings.CopierSecuriteTout) return SecurityChoice::kEveryFile;
  if (settings.CopierSecuriteDossiers) return SecurityChoice::kModifiedAndFolders;
  return SecurityChoice::kModified;
}

void Store(IniFile& ini, MirrorSettings& settings, bool MirrorSettings::*field, bool value) {
  settings.*field = value;
  WriteKey(ini, KeyOf(field), FlagText(value));
}

void Store(IniFile& ini, MirrorSettings& settings, int16_t MirrorSettings::*field, int16_t value) {
  settings.*field = value;
  WriteKey(ini, KeyOf(field), std::to_string(value));
}

void Store(IniFile& ini, MirrorSettings& settings, int32_t MirrorSettings::*field, int32_t value) {
  settings.*field = value;
  WriteKey(ini, KeyOf(field), std::to_string(value));
}

void Store(IniFile& ini, MirrorSettings& settings, std::string MirrorSettings::*field,
           std::string value) {
  settings.*field = std::move(value);
  WriteKey(ini, KeyOf(field), settings.*field);
}

void Store(IniFile& ini, MirrorSettings& settings, Language MirrorSettings::*field,
           Language value) {
  settings.*field = value;
  WriteKey(ini, KeyOf(field), std::to_string(static_cast<int16_t>(value)));
}

bool StoreSecurityChoice(IniFile& ini, MirrorSettings& settings, SecurityChoice choice) {
  if (SecurityChoiceOf(settings) == choice) return false;
  Store(ini, settings, &MirrorSettings::CopierSecurite, choice != SecurityChoice::kNone);
  Store(ini, settings, &MirrorSettings::CopierSecuriteDossiers,
        choice == SecurityChoice::kModifiedAndFolders);
  Store(ini, settings, &MirrorSettings::CopierSecuriteTout, choice == SecurityChoice::kEveryFile);
  return true;
}

bool StoreCopyType(IniFile& ini, MirrorSettings& settings, bool secure) {
  if (settings.CopieSecurisee == secure) return false;
  Store(ini, settings, &MirrorSettings::CopieSecurisee, secure);
  return true;
}

void StoreFileListsShown(IniFile& ini, MirrorSettings& settings, bool on) {
  Store(ini, settings, &MirrorSettings::AfficherFichiers, on);
  if (on) Store(ini, settings, &MirrorSettings::AfficherLocked, false);
}

void StoreLockedListShown(IniFile& ini, MirrorSettings& settings, bool on) {
  Store(ini, settings, &MirrorSettings::AfficherLocked, on);
  if (on) Store(ini, settings, &MirrorSettings::AfficherFichiers, false);
}

bool UnknownFolderWarningsOn(const MirrorSettings& settings) {
  return settings.ErreurDossier || settings.ErreurDossierSon || settings.ErreurDossierNetSend;
}

}  // namespace vorn
