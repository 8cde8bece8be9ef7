#pragma once

#include <string>
#include <string_view>

namespace vorn::platform {

/// The separator between a folder and an entry name ("\" on Windows).
inline constexpr char kSeparator = '/';

/// A folder path and a name joined with one separator. The root stays "/" and
/// joins as "/name", never "//name"; an empty folder gives the name alone.
std::string JoinPath(std::string_view folder, std::string_view name);

/// The folder path without trailing separators; the root stays "/" and never
/// becomes the empty text.
std::string WithoutTrailingSeparator(std::string_view folder);

/// The part of the path before its last separator ("/a/b" gives "/a", "/a"
/// gives "/"); the empty text when there is no separator.
std::string ParentFolder(std::string_view path);

/// Whether the path starts at the root; a relative path is read from the
/// working directory, wherever the program happened to be started.
bool IsAbsolutePath(std::string_view path);

/// A path as a user typed it, made absolute against the working directory,
/// with empty and "." steps dropped and each ".." taking the step before it
/// away, as `realpath -s` writes it (links are not followed). A leading "//"
/// stays, as it names a network share. Empty when the working directory
/// cannot be learnt.
std::string AbsolutePath(std::string_view path);

/// The part of the path after its last separator.
std::string_view BaseName(std::string_view path);

}  // namespace vorn::platform
