#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace vorn {

/// The configuration file, read and written one key at a time with the
/// conventions of the Windows private-profile functions: section and key
/// names compared without regard to case, blanks around names and values
/// ignored, a value enclosed in matching quotes read without them, a value
/// read as at most 254 characters, and a missing file, section or key or an
/// empty value all read as the empty text. A write changes one line in place
/// and keeps every other line, comment and unknown key byte for byte; a
/// missing section is appended at the end and a missing file created. Every
/// write replaces the file atomically.
class IniFile {
 public:
  /// Longest value a read gives back, as a 255-character buffer holds.
  static constexpr size_t kMaxValueLength = 254;

  /// One key to write; no value removes the key.
  struct Change {
    std::string section;
    std::string key;
    std::optional<std::string> value;
  };

  IniFile(platform::FileSystem& fs, std::string path);

  const std::string& path() const { return path_; }

  /// The value of `key` in `section`; empty when absent.
  std::string Read(std::string_view section, std::string_view key) const;

  /// Writes one key (no value removes it). False when the file could not be
  /// written; callers that follow the private-profile rules ignore that.
  bool Write(std::string_view section, std::string_view key, std::optional<std::string_view> value);

  /// Applies several one-key writes in order and saves them in one
  /// replacement of the file, so saving many pairs does not rewrite it
  /// once per key.
  bool WriteAll(std::span<const Change> changes);

 private:
  struct Line {
    std::string content;  ///< without its line ending
    std::string ending;   ///< "\r\n", "\n", or "" for a last line without one
    std::string key;      ///< lower-cased key of a key=value line, else empty
  };
  struct Section {
    std::string name;         ///< lower-cased; empty for the lines before the first section
    std::vector<Line> lines;  ///< the header line first (except for the preamble)
    bool has_header = false;
  };
  struct Document {
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> first_section;  ///< lower-cased name -> index
    std::string newline = "\n";  ///< the file's own line ending, for new lines
  };
  struct Stamp {
    uint64_t size = 0;
    uint64_t last_write = 0;
    bool operator==(const Stamp&) const = default;
  };

  static Document Parse(std::string_view text);
  static std::string Serialize(const Document& document);
  static void Apply(Document& document, const Change& change);
  const Document* Current() const;

  platform::FileSystem& fs_;
  std::string path_;
  // The parsed file as last read, valid while the file's size and time are
  // unchanged: reading every key of a thousand pairs must not parse the file
  // seven thousand times.
  mutable std::optional<Document> cache_;
  mutable Stamp cache_stamp_;
};

}  // namespace vorn
