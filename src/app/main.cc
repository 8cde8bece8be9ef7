#include <cstdio>
#include <string>
#include <vector>

#include "platform/system.h"
#include "runtime/command_line.h"
#include "base/constants.h"
#include "runtime/headless.h"
#include "runtime/shell_commands.h"
#ifdef VORN_WITH_GUI
#include "gui/desktop.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const vorn::ProgramOptions options = vorn::ParseProgramOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "vorn: %s\n%s", options.error.c_str(), vorn::UsageText().c_str());
    return vorn::kExitBadOptions;
  }
  switch (options.mode) {
    case vorn::RunMode::kHelp:
      std::fputs(vorn::UsageText().c_str(), stdout);
      return vorn::kExitOk;
    case vorn::RunMode::kVersion:
      std::printf("%s\n", vorn::ProductLabel().c_str());
      return vorn::kExitOk;
    case vorn::RunMode::kOnce:
    case vorn::RunMode::kHeadless:
    case vorn::RunMode::kService:
      return vorn::RunWithoutWindow(options);
    case vorn::RunMode::kInstallService:
    case vorn::RunMode::kRemoveService:
      return vorn::AdministerService(options);
    case vorn::RunMode::kPair:
    case vorn::RunMode::kConfig:
      return vorn::RunShellCommand(options);
    case vorn::RunMode::kDesktop:
      break;
  }
#ifdef VORN_WITH_GUI
  if (vorn::platform::GetEnvironment("DISPLAY").empty() &&
      vorn::platform::GetEnvironment("WAYLAND_DISPLAY").empty() &&
      vorn::platform::GetEnvironment("QT_QPA_PLATFORM").empty()) {
    std::fprintf(stderr, "vorn: no display; run vorn --headless (or --once) without a window\n");
    return vorn::kExitBadOptions;
  }
  return vorn::gui::RunDesktop(argc, argv, options);
#else
  std::fprintf(stderr, "vorn: built without the desktop program; use --headless or --once\n");
  return vorn::kExitBadOptions;
#endif
}
