#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

namespace vorn {

/// What the program knows of the system it runs on, fixed at start-up.
/// The NT flag picks the wide file interface and gates security copying,
/// Macintosh volumes, the service and network messages; Linux has them all.
/// Tests build 95-family and NT 4 values to exercise the other branches.
/// The two families of the system the program was written for; Linux is
/// treated as the NT family throughout.
enum class SystemFamily { k95, kNt };

struct SystemInfo {
  std::string command_line;        ///< as typed, program options removed
  std::string command_line_upper;  ///< upper-cased copy, searched for "-U"
  bool unattended = false;         ///< "-U" anywhere in the upper-cased command line
  std::string windows_folder;      ///< "Windir", upper-cased; empty on Linux as a rule
  std::string computer_name;
  std::string user_name;
  bool administrator = false;  ///< may give files to other owners
  std::string os_name;
  std::string os_description;
  bool nt = false;
  int32_t nt_major_version = 0;  ///< 0 outside the NT family
  int16_t service_pack = 0;

  /// The platform file copy carries named streams itself (NT 5, or NT 4 from
  /// service pack 4); otherwise the engine copies the Macintosh streams.
  bool CopyCarriesStreams() const { return nt_major_version >= 5 || service_pack >= 4; }

  SystemFamily family() const { return nt ? SystemFamily::kNt : SystemFamily::k95; }
};

/// SystemInfo of this machine for a command line. On Linux the NT flag is set
/// and the major version is at least 5, so the platform copy carries streams.
SystemInfo DescribeSystem(const std::string& command_line, const platform::OsFacts& facts);

/// The main window's title: product and version, the command line in
/// brackets, then the computer, the user and the system, each when known.
std::string WindowTitle(const SystemInfo& system);

}  // namespace vorn
