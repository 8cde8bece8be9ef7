#include <cstdio>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/constants.h"
#include "shell/headless.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const vorn::ProgramOptions options = vorn::ParseProgramOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "vorn: %s\n%s", options.error.c_str(), vorn::UsageText().c_str());
    return 1;
  }
  switch (options.mode) {
    case vorn::RunMode::kHelp:
      std::fputs(vorn::UsageText().c_str(), stdout);
      return 0;
    case vorn::RunMode::kVersion:
      std::printf("%s %s\n", std::string(vorn::kProductName).c_str(),
                  std::string(vorn::kVersion).c_str());
      return 0;
    case vorn::RunMode::kOnce:
    case vorn::RunMode::kHeadless:
    case vorn::RunMode::kService:
      return vorn::RunWithoutWindow(options);
    case vorn::RunMode::kInstallService:
    case vorn::RunMode::kRemoveService:
      return vorn::AdministerService(options);
    case vorn::RunMode::kDesktop:
      std::fprintf(stderr, "vorn: this build has no window yet; use --once or --headless\n");
      return 1;
  }
}
