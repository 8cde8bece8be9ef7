#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vorn {

/// Answers the extension registered for an 8-character type/creator
/// signature, or the empty text.
using SignatureLookup = std::function<std::string(std::string_view signature)>;

/// Whether a folder lies on a Macintosh volume: a "Network Trash Folder" in
/// it or in any folder above it, up to the root.
bool IsMacintoshVolume(platform::FileSystem& fs, const std::string& folder);

/// The name a moved Macintosh file gets in the target: characters a Windows
/// or Linux user cannot type or see well (the UTF-16 code units whose high
/// byte is 01, 02, 03, 20, 22, 25, F0 or FB) become "-", and the extension
/// registered for the file's type and creator is appended unless the name's
/// last three characters already spell it (ignoring case).
std::string MacTargetName(platform::FileSystem& fs, const platform::Folder& folder,
                          std::string_view name, const SignatureLookup& extension_for_signature);

/// What becomes of a source stream once it is copied.
enum class SourceStreams { kKeep, kDeleteAfterCopy };

/// Copies the Finder information and the resource fork of a file onto
/// another. Failures are ignored: the file copy keeps its own result.
void CopyMacStreams(platform::FileSystem& fs, const platform::Folder& source, std::string_view name,
                    const platform::Folder& target, std::string_view target_name,
                    SourceStreams source_streams);

/// Copies the Finder information of a folder onto a newly created one;
/// the result is ignored.
void CopyFolderInfoStream(platform::FileSystem& fs, const platform::Folder& source,
                          std::string_view name, const platform::Folder& target);

}  // namespace vorn
