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
      return vorn::RunOnce(options);
    default:
      std::fprintf(stderr, "vorn: this build does not run passes yet\n");
      return 1;
  }
}
