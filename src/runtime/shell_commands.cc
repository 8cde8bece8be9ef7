#include "runtime/shell_commands.h"

#include <cerrno>
#include <cstdio>

#include "base/constants.h"
#include "base/system_info.h"
#include "runtime/shell_command_parts.h"

namespace vorn {
namespace {

// A file that exists but cannot be read would load as an empty one, and
// the first write would replace everything in it.
std::string Unreadable(platform::FileSystem& fs, const std::string& path) {
  const auto text = fs.ReadFile(path);
  if (text.ok() || text.error().code == ENOENT) return {};
  return text.error().Describe();
}

std::string HolderName(const platform::InstanceHolder& holder) {
  const std::string pid = holder.pid > 0 ? " (pid " + std::to_string(holder.pid) + ")" : "";
  if (!holder.kind) return "another Vorn" + pid;
  switch (*holder.kind) {
    case platform::InstanceKind::kWindow:
      return "a Vorn window" + pid;
    case platform::InstanceKind::kOnce:
    case platform::InstanceKind::kHeadless:
    case platform::InstanceKind::kService:
      return "vorn --" + std::string(platform::InstanceKindWord(*holder.kind)) + pid;
  }
  return "another Vorn" + pid;
}

}  // namespace

int Refuse(const std::string& reason) {
  std::fprintf(stderr, "vorn: %s\n", reason.c_str());
  return kExitBadOptions;
}

int FolderUnusable(const std::string& reason) {
  std::fprintf(stderr, "vorn: %s\n", reason.c_str());
  return kExitFolderUnusable;
}

int RefuseUsage(const std::string& reason, std::string_view usage) {
  std::fprintf(stderr, "vorn: %s\n%.*s", reason.c_str(), static_cast<int>(usage.size()),
               usage.data());
  return kExitBadOptions;
}

std::string RunningInstanceLine(const std::optional<platform::InstanceHolder>& holder) {
  if (!holder) return "No Vorn runs on this folder now; the next one started reads the change.";
  std::string who = HolderName(*holder);
  if (who.starts_with("a")) who[0] = 'A';
  if (!holder->kind) return who + " holds this folder and may not read the change until restarted.";
  switch (*holder->kind) {
    case platform::InstanceKind::kWindow:
      return who + " runs on this folder and does not read the change: close and reopen it.";
    case platform::InstanceKind::kOnce:
      return who +
             " runs on this folder with what it read at its start; the next run reads "
             "the change.";
    case platform::InstanceKind::kHeadless:
    case platform::InstanceKind::kService:
      return who + " runs on this folder and reads the change before its next pass.";
  }
  return who;
}

std::string PairEditBlocker(const std::optional<platform::InstanceHolder>& holder) {
  if (!holder) return {};
  if (!holder->kind) {
    return HolderName(*holder) +
           " holds this folder without saying what it is; a window would write its own list "
           "of pairs back at its next edit, so close it first (nothing was written)";
  }
  if (*holder->kind != platform::InstanceKind::kWindow) return {};
  return HolderName(*holder) +
         " holds this folder and writes its own list of pairs back at its next edit; close it, "
         "or make the change there (nothing was written)";
}

std::string LoadApplicationFolder(platform::FileSystem& fs, const std::string& home,
                                  Application& app) {
  const auto folder = platform::ResolveApplicationFolder(home);
  if (!folder.ok()) return "cannot use the application folder: " + folder.error().Describe();
  app.paths = MakeAppPaths(*folder);
  for (const std::string* path : {&app.paths.configuration_file, &app.paths.pairs_file}) {
    if (std::string why = Unreadable(fs, *path); !why.empty()) return why;
  }
  app.ini = std::make_unique<IniFile>(fs, app.paths.configuration_file);
  app.settings = LoadSettings(*app.ini, fs, app.paths.app_folder);
  app.system = DescribeSystem("", platform::ReadOsFacts());
  ReloadPairs(fs, app);
  if (app.pairs.damaged_message) {
    std::string message = *app.pairs.damaged_message;
    for (size_t at; (at = message.find("\r\n")) != std::string::npos;) message.replace(at, 2, ": ");
    return message;
  }
  return {};
}

int RunShellCommand(const ProgramOptions& options) {
  const bool pairs = options.mode == RunMode::kPair;
  if (const int status =
          pairs ? CheckPairAction(options.command) : CheckConfigAction(options.command);
      status != kExitOk) {
    return status;
  }
  const auto fs = platform::MakePosixFileSystem();
  Application app;
  if (const std::string why = LoadApplicationFolder(*fs, options.home, app); !why.empty()) {
    return FolderUnusable(why);
  }
  ShellFolder folder{*fs, app,
                     platform::FindInstanceHolder(app.paths.app_folder, app.paths.lock_file)};
  return pairs ? RunPairCommand(folder, options.command, options.json)
               : RunConfigCommand(folder, options.command);
}

}  // namespace vorn
