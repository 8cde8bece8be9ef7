#include "base/system_info.h"

#include <algorithm>

#include "base/constants.h"
#include "base/strings.h"

namespace vorn {
namespace {

}  // namespace

SystemInfo DescribeSystem(const std::string& command_line, const platform::OsFacts& facts) {
  SystemInfo info;
  info.command_line = command_line;
  info.command_line_upper = AsciiUpper(command_line);
  info.unattended = info.command_line_upper.find("-U") != std::string::npos;
  info.windows_folder = AsciiUpper(facts.windows_folder);
  info.computer_name = std::string(TrimBlanks(facts.computer_name));
  info.user_name = std::string(TrimBlanks(facts.user_name));
  info.administrator = facts.administrator;
  info.os_name = facts.os_name.empty() ? "???" : facts.os_name;
  info.os_description = info.os_name + " v." + std::to_string(facts.major) + "." +
                        std::to_string(facts.minor) + ", Build " + std::to_string(facts.patch);
  info.nt = true;
  info.nt_major_version = std::max(5, facts.major);
  info.service_pack = 0;
  return info;
}

std::string WindowTitle(const SystemInfo& system) {
  std::string title = ProductLabel();
  if (!system.command_line.empty()) title += " [" + system.command_line + "]";
  if (!system.computer_name.empty()) title += "   " + system.computer_name;
  if (!system.user_name.empty()) title += "; " + system.user_name;
  if (!system.os_description.empty()) title += "; " + system.os_description;
  return title;
}

}  // namespace vorn
