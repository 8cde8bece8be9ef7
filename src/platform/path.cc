#include "platform/path.h"

namespace vorn::platform {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  if (!folder.empty() && folder.back() != kSeparator) path += kSeparator;
  path.append(name);
  return path;
}

std::string WithoutTrailingSeparator(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == kSeparator) folder.remove_suffix(1);
  return std::string(folder);
}

std::string ParentFolder(std::string_view path) {
  const auto cut = path.rfind(kSeparator);
  if (cut == std::string_view::npos) return {};
  if (cut == 0) return std::string(1, kSeparator);
  return std::string(path.substr(0, cut));
}

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == kSeparator;
}

std::string_view BaseName(std::string_view path) {
  const auto cut = path.rfind(kSeparator);
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace vorn::platform
