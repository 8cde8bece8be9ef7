#include "engine/macintosh.h"

#include "platform/path.h"
#include "base/strings.h"
#include "config/hex_path.h"

namespace vorn {
namespace {

// A Finder-information record: type at bytes 16-19, creator at 20-23.
constexpr size_t kFinderInfoBytes = 60;
constexpr size_t kSignatureOffset = 16;
constexpr size_t kSignatureLength = 8;

bool IsReplaced(char16_t unit) {
  switch (unit >> 8) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x20:
    case 0x22:
    case 0x25:
    case 0xF0:
    case 0xFB:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool IsMacintoshVolume(platform::FileSystem& fs, const std::string& folder) {
  constexpr std::string_view kMarker = "Network Trash Folder";
  std::string path = platform::WithoutTrailingSeparator(folder);
  for (;;) {
    const std::string at = path.empty() ? std::string(1, platform::kSeparator) : path;
    if (fs.Lookup(platform::JoinPath(at, kMarker)).ok()) return true;
    const size_t cut = path.rfind(platform::kSeparator);
    if (path.empty() || path == "/" || cut == std::string::npos) return false;
    path.resize(cut);
  }
}

std::string MacTargetName(platform::FileSystem& fs, const platform::Folder& folder,
                          std::string_view name, const SignatureLookup& extension_for_signature) {
  const std::u16string original = ToUtf16(name);
  std::u16string result = original;
  for (char16_t& unit : result) {
    if (IsReplaced(unit)) unit = u'-';
  }
  const auto info = fs.ReadStreamAt(folder, name, platform::kFinderInfoStream, kFinderInfoBytes);
  if (!info.ok() || info->empty() || !extension_for_signature) return FromUtf16(result);

  const std::string signature =
      info->size() > kSignatureOffset ? info->substr(kSignatureOffset, kSignatureLength) : "";
  const std::u16string extension = ToUtf16(AsciiLower(extension_for_signature(signature)));
  // Only the last three characters are compared, so a four-letter extension
  // already in place is appended once more (page.html becomes page.html.html).
  const std::u16string lowered = ToUtf16(AsciiLower(name));
  const std::u16string last_three =
      lowered.size() > 3 ? lowered.substr(lowered.size() - 3) : lowered;
  if (!extension.empty() && extension != last_three) {
    result += u'.';
    result += extension;
  }
  return FromUtf16(result);
}

void CopyMacStreams(platform::FileSystem& fs, const platform::Folder& source, std::string_view name,
                    const platform::Folder& target, std::string_view target_name,
                    SourceStreams source_streams) {
  for (const std::string_view stream :
       {platform::kFinderInfoStream, platform::kResourceForkStream}) {
    if (fs.CopyStreamAt(source, name, target, target_name, stream).ok() &&
        source_streams == SourceStreams::kDeleteAfterCopy) {
      (void)fs.DeleteStreamAt(source, name, stream);
    }
  }
}

void CopyFolderInfoStream(platform::FileSystem& fs, const platform::Folder& source,
                          std::string_view name, const platform::Folder& target) {
  (void)fs.CopyStreamAt(source, name, target, name, platform::kFinderInfoStream);
}

}  // namespace vorn
