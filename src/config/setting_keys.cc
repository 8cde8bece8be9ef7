#include "config/setting_keys.h"

#include <array>
#include <limits>
#include <optional>

#include "base/strings.h"
#include "config/limits.h"

namespace vorn {
namespace {

using S = MirrorSettings;

const std::array<SettingKey, 30> kKeys = {{
    {"language", "Langue", kConfigurationSection, &S::Langue},
    {"subfolders", "MiroirSousDossiers", kConfigurationSection, &S::MiroirSousDossiers},
    {"remove-obsolete", "Effacement", kConfigurationSection, &S::Effacement},
    {"safe-copy", "CopieSecurisee", kConfigurationSection, &S::CopieSecurisee},
    {"copy-attributes", "CopierAttributs", kConfigurationSection, &S::CopierAttributs},
    {"copy-owners", "CopierProprietaire", kConfigurationSection, &S::CopierProprietaire},
    {"copy-security", "CopierSecurite", kConfigurationSection, &S::CopierSecurite},
    {"copy-security-folders", "CopierSecuriteDossiers", kConfigurationSection,
     &S::CopierSecuriteDossiers},
    {"copy-security-all", "CopierSecuriteTout", kConfigurationSection, &S::CopierSecuriteTout},
    {"interval", "Temporisation", kConfigurationSection, &S::Temporisation},
    {"watch-quiet", "WatchQuiet", kConfigurationSection, &S::WatchQuiet},
    {"time-tolerance", "MaxTimeInterval", kConfigurationSection, &S::MaxTimeInterval},
    {"performance", "Performance", kConfigurationSection, &S::Performance},
    {"helpers", "Helpers", kConfigurationSection, &S::Helpers},
    {"target-prefix", "PrefixeCibleDefaut", kConfigurationSection, &S::PrefixeCibleDefaut},
    {"network-target-prefix", "PrefixeCibleDefautUNC", kConfigurationSection,
     &S::PrefixeCibleDefautUNC},
    {"show-files", "AfficherFichiers", kConfigurationSection, &S::AfficherFichiers},
    {"show-locked", "AfficherLocked", kConfigurationSection, &S::AfficherLocked},
    {"auto-start", "Automatique", kConfigurationSection, &S::Automatique},
    {"stop-after-first-pass", "ArretAutomatique", kConfigurationSection, &S::ArretAutomatique},
    {"warn-missing-folders", "ErreurDossier", kConfigurationSection, &S::ErreurDossier},
    {"warn-sound", "ErreurDossierSon", kConfigurationSection, &S::ErreurDossierSon},
    {"warn-message", "ErreurDossierNetSend", kConfigurationSection, &S::ErreurDossierNetSend},
    {"warn-message-text", "MessageNetSend", kConfigurationSection, &S::MessageNetSend},
    {"warn-syslog", "ErreurDossierEventLog", kConfigurationSection, &S::ErreurDossierEventLog},
    {"log", "Logs", kLogsSection, &S::Logs},
    {"log-files", "FichiersLogs", kLogsSection, &S::FichiersLogs},
    {"log-folder", "PathLogs", kLogsSection, &S::PathLogs},
    {"purge-logs", "PurgeLogs", kLogsSection, &S::PurgeLogs},
    {"logs-kept", "DelaiLogs", kLogsSection, &S::DelaiLogs},
}};

struct LanguageName {
  Language language;
  std::string_view code;
  std::string_view name;
};
constexpr LanguageName kLanguages[] = {
    {kFrench, "fr", "french"}, {kPortuguese, "pt", "portuguese"}, {kEnglish, "en", "english"}};

std::optional<bool> ReadFlag(std::string_view text) {
  for (const std::string_view on : {"1", "yes", "on", "true"}) {
    if (EqualIgnoringAsciiCase(text, on)) return true;
  }
  for (const std::string_view off : {"0", "no", "off", "false"}) {
    if (EqualIgnoringAsciiCase(text, off)) return false;
  }
  return std::nullopt;
}

// Digits only: a count typed at a shell is never "12 s" or "1e3".
std::optional<int64_t> ReadCount(std::string_view text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// Each rule below is the one the window applies when the same setting is
// changed from its menu or dialog.
struct TextStorer {
  IniFile& ini;
  MirrorSettings& settings;
  platform::FileSystem& fs;
  const std::string& app_folder;
  const SettingKey& key;
  std::string_view text;

  std::string operator()(bool S::*field) const {
    const std::optional<bool> on = ReadFlag(text);
    if (!on) return std::string(key.alias) + " takes 1/0, yes/no, on/off or true/false";
    const bool is_security = field == &S::CopierSecurite || field == &S::CopierSecuriteDossiers ||
                             field == &S::CopierSecuriteTout;
    if (is_security) {
      StoreSecurityChoice(ini, settings, SecurityChoiceAfter(field, *on));
    } else if (field == &S::CopieSecurisee) {
      StoreCopyType(ini, settings, *on);
    } else if (field == &S::AfficherFichiers) {
      StoreFileListsShown(ini, settings, *on);
    } else if (field == &S::AfficherLocked) {
      StoreLockedListShown(ini, settings, *on);
    } else {
      Store(ini, settings, field, *on);
    }
    return {};
  }

  // The three security keys stand for one choice of four: a key turned on
  // picks its choice, a key turned off falls back to the next smaller one.
  SecurityChoice SecurityChoiceAfter(bool S::*field, bool on) const {
    const SecurityChoice now = SecurityChoiceOf(settings);
    if (field == &S::CopierSecurite) {
      if (!on) return SecurityChoice::kNone;
      return now == SecurityChoice::kNone ? SecurityChoice::kModified : now;
    }
    const SecurityChoice own = field == &S::CopierSecuriteTout
                                   ? SecurityChoice::kEveryFile
                                   : SecurityChoice::kModifiedAndFolders;
    if (on) return own;
    return now == own ? SecurityChoice::kModified : now;
  }

  std::string operator()(int16_t S::*field) const {
    const LimitedNumber& limits = field == &S::Temporisation ? kTemporisationLimits
                                  : field == &S::WatchQuiet  ? kWatchQuietLimits
                                  : field == &S::Performance ? kPerformanceLimits
                                  : field == &S::Helpers     ? kHelpersLimits
                                                             : kPurgeLimits;
    const std::optional<int64_t> count = ReadCount(text);
    const std::optional<int16_t> value =
        count ? limits.Accept(std::to_string(*count)) : std::nullopt;
    if (!value) {
      return std::string(key.alias) + " takes a whole number from " +
             std::to_string(limits.minimum) + " to " + std::to_string(limits.maximum) + ", not " +
             Quoted(text);
    }
    Store(ini, settings, field, *value);
    return {};
  }

  // The time tolerance has no dialog; a load reads 0 as its default, so
  // only a positive count of 100-ns units means what it says.
  std::string operator()(int32_t S::*field) const {
    const std::optional<int64_t> count = ReadCount(text);
    if (!count || *count < 1 || *count > std::numeric_limits<int32_t>::max()) {
      return std::string(key.alias) + " takes a whole number of 100-ns units from 1 to " +
             std::to_string(std::numeric_limits<int32_t>::max()) + ", not " + Quoted(text);
    }
    Store(ini, settings, field, static_cast<int32_t>(*count));
    return {};
  }

  std::string operator()(std::string S::*field) const {
    // What the file could not give back as it was typed is refused rather
    // than stored cut or on another line.
    if (text.find_first_of("\r\n") != std::string_view::npos) {
      return std::string(key.alias) + " cannot hold a line break";
    }
    if (text.size() > IniFile::kMaxValueLength) {
      return std::string(key.alias) + " holds at most " + std::to_string(IniFile::kMaxValueLength) +
             " bytes";
    }
    if (TrimBlanks(text) != text) {
      return std::string(key.alias) + " cannot start or end with a blank";
    }
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
      return std::string(key.alias) + " would be read back without its enclosing quotes";
    }
    if (field == &S::PathLogs && LogFolder(fs, std::string(text), app_folder) != text) {
      return std::string(key.alias) + " takes the absolute path of an existing folder, not " +
             Quoted(text);
    }
    Store(ini, settings, field, std::string(text));
    return {};
  }

  std::string operator()(Language S::*field) const {
    for (const LanguageName& language : kLanguages) {
      if (EqualIgnoringAsciiCase(text, language.code) ||
          EqualIgnoringAsciiCase(text, language.name)) {
        Store(ini, settings, field, language.language);
        return {};
      }
    }
    return std::string(key.alias) + " takes fr, pt or en (french, portuguese, english), not " +
           Quoted(text);
  }
};

struct ValueWriter {
  const MirrorSettings& settings;
  std::string operator()(bool S::*field) const { return settings.*field ? "1" : "0"; }
  std::string operator()(int16_t S::*field) const { return std::to_string(settings.*field); }
  std::string operator()(int32_t S::*field) const { return std::to_string(settings.*field); }
  std::string operator()(std::string S::*field) const { return settings.*field; }
  std::string operator()(Language S::*field) const {
    // Any code but French's and Portuguese's selects English.
    for (const LanguageName& language : kLanguages) {
      if (settings.*field == language.language) return std::string(language.code);
    }
    return "en";
  }
};

}  // namespace

std::span<const SettingKey> SettingKeys() {
  return kKeys;
}

const SettingKey* FindSettingKey(std::string_view name) {
  for (const SettingKey& key : kKeys) {
    if (EqualIgnoringAsciiCase(name, key.alias) || EqualIgnoringAsciiCase(name, key.name)) {
      return &key;
    }
  }
  return nullptr;
}

std::string SettingValueText(const MirrorSettings& settings, const SettingKey& key) {
  return std::visit(ValueWriter{settings}, key.field);
}

std::string StoreSettingText(IniFile& ini, MirrorSettings& settings, platform::FileSystem& fs,
                             const std::string& app_folder, const SettingKey& key,
                             std::string_view text) {
  return std::visit(TextStorer{ini, settings, fs, app_folder, key, text}, key.field);
}

}  // namespace vorn
