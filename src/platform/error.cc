#include "platform/error.h"

#include <cstring>

namespace vorn::platform {

Error MakeError(int code, std::string operation, std::string path) {
  return Error{code, std::move(operation), std::move(path)};
}

std::string Error::Describe() const {
  std::string text = operation;
  if (!path.empty()) {
    text += ' ';
    text += path;
  }
  text += ": ";
  text += std::strerror(code);
  return text;
}

}  // namespace vorn::platform
