#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "config/ini_file.h"
#include "config/mirror_settings.h"
#include "platform/file_system.h"

namespace vorn {

/// The field of MirrorSettings a global key fills.
using SettingField =
    std::variant<bool MirrorSettings::*, int16_t MirrorSettings::*, int32_t MirrorSettings::*,
                 std::string MirrorSettings::*, Language MirrorSettings::*>;

/// One global key of the configuration file.
struct SettingKey {
  std::string_view alias;  ///< the English name of `vorn config`, the manual and the completion
  std::string_view name;   ///< the key as the file holds it
  std::string_view section;
  SettingField field;
};

/// Every global key, in the order start-up reads them.
std::span<const SettingKey> SettingKeys();

/// The key named by its alias or by its own name, in any case; none when
/// neither names a key.
const SettingKey* FindSettingKey(std::string_view name);

/// The setting's value in the form `vorn config` shows and takes back:
/// 1 or 0, a number, fr/pt/en for the language, else the text.
std::string SettingValueText(const MirrorSettings& settings, const SettingKey& key);

/// Sets a key from a user's text by the rules the window's menus and dialogs
/// apply to it (their ranges, the one security choice of three keys, the
/// lower pane's two exclusive lists) and writes it the moment it changes, as
/// the window does; every other key stays as it is. Booleans read as
/// 1/0/yes/no/on/off/true/false, the language as fr/pt/en or its English
/// name. Returns why the text is refused, nothing being written then; empty
/// when stored. `app_folder` is where the log folder falls back to.
std::string StoreSettingText(IniFile& ini, MirrorSettings& settings, platform::FileSystem& fs,
                             const std::string& app_folder, const SettingKey& key,
                             std::string_view text);

}  // namespace vorn
