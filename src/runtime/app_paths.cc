#include "runtime/app_paths.h"

#include "platform/path.h"
#include "base/constants.h"

namespace vorn {

AppPaths MakeAppPaths(const std::string& app_folder) {
  const std::string folder = platform::WithoutTrailingSeparator(app_folder);
  const std::string product(kProductName);
  return AppPaths{
      folder,
      platform::JoinPath(folder, product + ".ini"),
      platform::JoinPath(folder, product + ".w"),
      platform::JoinPath(folder, "Signatures.txt"),
      platform::JoinPath(folder, product + ".lock"),
  };
}

}  // namespace vorn
