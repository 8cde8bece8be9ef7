// `vorn config list|get|set`: the global settings, each written through the
// window's own "store when it changes" rules.

#include "runtime/shell_command_parts.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/constants.h"
#include "config/setting_keys.h"
#include "platform/path.h"
#include "runtime/main_window_texts.h"

namespace vorn {
namespace {

constexpr std::string_view kUsage =
    "Usage: vorn [--home DIR] config list\n"
    "       vorn [--home DIR] config get KEY\n"
    "       vorn [--home DIR] config set KEY VALUE\n"
    "KEY is an English name or the key of Vorn.ini (vorn config list shows both).\n";

int ListSettings(const Application& app) {
  for (const SettingKey& key : SettingKeys()) {
    std::printf("%-22.*s %-23.*s %s\n", static_cast<int>(key.alias.size()), key.alias.data(),
                static_cast<int>(key.name.size()), key.name.data(),
                SettingValueText(app.settings, key).c_str());
  }
  return kExitOk;
}

const SettingKey* KeyOrRefusal(const std::string& name) {
  const SettingKey* key = FindSettingKey(name);
  if (key == nullptr) {
    Refuse("unknown setting '" + name + "' (vorn config list shows them all)");
  }
  return key;
}

int SetSetting(ShellFolder& folder, const SettingKey& key, std::string value) {
  Application& app = folder.app;
  // A folder typed at a shell is read from where the shell is.
  if (key.field == SettingField(&MirrorSettings::PathLogs) && !value.empty()) {
    value = platform::AbsolutePath(value);
  }
  const bool removal_was_on = app.settings.Effacement;
  const std::string why =
      StoreSettingText(*app.ini, app.settings, folder.fs, app.paths.app_folder, key, value);
  if (!why.empty()) return Refuse(why);
  // The window ignores a write that fails; a command says so, read back as
  // any later start reads it.
  const std::string wanted = SettingValueText(app.settings, key);
  const MirrorSettings stored = LoadSettings(*app.ini, folder.fs, app.paths.app_folder);
  if (SettingValueText(stored, key) != wanted) {
    return FolderUnusable("could not write " + std::string(key.name) + " to " +
                          app.paths.configuration_file);
  }
  std::printf("%s (%s) = %s\n", std::string(key.alias).c_str(), std::string(key.name).c_str(),
              wanted.c_str());
  if (app.settings.Effacement && !removal_was_on) {
    std::printf("%s\n", std::string(Tr(MainWindowText::kRemovalWarning, kEnglish)).c_str());
  }
  std::printf("%s\n", RunningInstanceLine(folder.holder).c_str());
  return kExitOk;
}

}  // namespace

int CheckConfigAction(const std::vector<std::string>& words) {
  if (words.empty()) return RefuseUsage("config needs an action", kUsage);
  const std::string& action = words[0];
  if (action != "list" && action != "get" && action != "set") {
    return RefuseUsage("unknown config action '" + action + "'", kUsage);
  }
  return kExitOk;
}

int RunConfigCommand(ShellFolder& folder, const std::vector<std::string>& words) {
  const std::string& action = words[0];
  if (action == "list") {
    if (words.size() != 1) return RefuseUsage("config list takes no argument", kUsage);
    return ListSettings(folder.app);
  }
  if (action == "get") {
    if (words.size() != 2) return RefuseUsage("config get takes one KEY", kUsage);
    const SettingKey* key = KeyOrRefusal(words[1]);
    if (key == nullptr) return kExitBadOptions;
    std::printf("%s\n", SettingValueText(folder.app.settings, *key).c_str());
    return kExitOk;
  }
  if (words.size() != 3) return RefuseUsage("config set takes a KEY and a VALUE", kUsage);
  const SettingKey* key = KeyOrRefusal(words[1]);
  if (key == nullptr) return kExitBadOptions;
  return SetSetting(folder, *key, words[2]);
}

}  // namespace vorn
