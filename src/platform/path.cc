#include "platform/path.h"

#include <unistd.h>

#include <cerrno>

#include <vector>

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

std::string AbsolutePath(std::string_view path) {
  std::string full;
  if (IsAbsolutePath(path)) {
    full = std::string(path);
  } else {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return {};
      buffer.resize(buffer.size() * 2);
    }
    full = JoinPath(buffer.data(), path);
  }
  const bool network = full.size() > 2 && full[1] == kSeparator && full[2] != kSeparator;
  std::vector<std::string_view> steps;
  const std::string_view rest(full);
  for (size_t start = 0; start < rest.size();) {
    size_t end = rest.find(kSeparator, start);
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view step = rest.substr(start, end - start);
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  std::string clean = network ? "/" : "";
  for (const std::string_view step : steps) {
    clean += kSeparator;
    clean += step;
  }
  return clean.empty() ? std::string(1, kSeparator) : clean;
}

std::string_view BaseName(std::string_view path) {
  const auto cut = path.rfind(kSeparator);
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace vorn::platform
