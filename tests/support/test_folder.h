#pragma once

#include <sys/types.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::testing {

/// Removes a tree, making read-only folders writable first.
void RemoveTree(const std::string& path);

/// A fresh folder under the system's temporary folder for one test, removed
/// with everything in it (read-only parts included) when the test ends.
/// Helpers take paths relative to it and fail the test on any error.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder() { RemoveTree(path_); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  /// The full path of the folder, or of `relative` inside it.
  const std::string& path() const { return path_; }
  std::string Path(std::string_view relative) const;
  /// The same place as a relative path that reaches it from whatever the
  /// working directory is, for code that must not read relative paths.
  std::string RelativePath(std::string_view relative = {}) const;

  /// Writes a file (creating it) with the given content and permission bits.
  void Write(std::string_view relative, std::string_view content, mode_t mode = 0644) const;
  std::string Read(std::string_view relative) const;
  void MakeFolder(std::string_view relative, mode_t mode = 0755) const;
  void MakeLink(std::string_view relative, std::string_view text) const;
  /// Makes entries in order: "a/" a folder, "a->b" a link, "a=text" a file
  /// holding the text, and "a" a file holding its own path.
  void Make(std::initializer_list<std::string_view> entries) const;
  bool Exists(std::string_view relative) const;
  /// The names in a folder, sorted, without "." and "..".
  std::vector<std::string> Names(std::string_view relative = {}) const;
  /// Sets the last-write (and access) time in seconds and nanoseconds since 1970.
  void SetTime(std::string_view relative, int64_t seconds, long nanoseconds) const;
  void SetAttribute(std::string_view relative, const std::string& name,
                    std::string_view value) const;
  /// An extended attribute's value; "<none>" when it does not exist.
  std::string GetAttribute(std::string_view relative, const std::string& name) const;
  /// True when the folder's file system keeps user extended attributes.
  bool SupportsUserAttributes() const;

 private:
  std::string path_;
};

}  // namespace vorn::testing
