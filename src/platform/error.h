#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vorn::platform {

/// Why one platform operation failed: the system's error number, the operation
/// and the path it was about. A Win32 implementation maps its codes onto the
/// same errno values, so callers and tests never see a system-specific code.
struct Error {
  int code = 0;           ///< errno value
  std::string operation;  ///< short verb: "open", "copy", "rename", ...
  std::string path;       ///< the path or name the operation was about

  /// "operation path: reason", for messages and test failures.
  std::string Describe() const;
};

/// Makes an Error from an errno value.
Error MakeError(int code, std::string operation, std::string path);

/// Success, or the Error that prevented it.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT: implicit by design

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  /// Only meaningful when !ok().
  const Error& error() const { return error_; }

 private:
  Error error_;
  bool failed_ = false;
};

/// A value, or the Error that prevented computing it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  /// Only meaningful when !ok().
  const Error& error() const { return std::get<1>(state_); }
  /// The error as a Status, to pass a failure on.
  Status status() const { return ok() ? Status() : Status(error()); }

 private:
  std::variant<T, Error> state_;
};

}  // namespace vorn::platform
