#pragma once

#include <string>

namespace vorn {

/// The files of the application folder, named after the product, never after
/// the executable.
struct AppPaths {
  std::string app_folder;          ///< without a trailing separator
  std::string configuration_file;  ///< Vorn.ini
  std::string pairs_file;          ///< Vorn.w
  std::string signatures_file;     ///< Signatures.txt
  std::string lock_file;           ///< Vorn.lock: who holds the folder (see InstanceLock)
};

/// The paths of the files kept in `app_folder`.
AppPaths MakeAppPaths(const std::string& app_folder);

}  // namespace vorn
