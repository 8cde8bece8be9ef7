#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace vorn {

/// One Macintosh type/creator signature and the extension files of that
/// kind get.
struct MacSignature {
  std::string type_creator;  ///< 4-character type then 4-character creator
  std::string extension;     ///< without the dot; may be empty
  std::string description;
  bool operator==(const MacSignature&) const = default;
};

/// The signatures known to the program, keyed by type/creator without
/// regard to letter case; the first record of a key wins.
class SignatureTable {
 public:
  void Clear();
  /// Adds a record; false (and nothing changes) when its key is taken.
  bool Add(MacSignature signature);
  /// The extension registered for a signature, or the empty text.
  std::string ExtensionForSignature(std::string_view type_creator) const;
  /// The records, in the order they were added.
  const std::vector<MacSignature>& records() const { return records_; }
  /// Records accepted by the last load (not counting the built-in ones).
  int record_count = 0;

 private:
  std::vector<MacSignature> records_;
  std::unordered_map<std::string, size_t> by_key_;  ///< upper-cased key -> index
};

/// The records of a signatures file's text, read three fields at a time
/// whatever the lines: a comma or a line end ends a field, blanks before a
/// field are skipped, a quoted field runs to the next quote (what follows it
/// up to the delimiter is ignored), an unquoted one to the delimiter (its
/// trailing blanks dropped), an empty line is one empty field.
struct SignatureFileContents {
  std::vector<MacSignature> records;
  /// The text ended inside a record: the file is damaged.
  bool damaged = false;
};
SignatureFileContents ParseSignatureFile(std::string_view text);

/// A signatures file's text: every field quoted, records sorted by
/// type/creator (ignoring case), lines ending with CR LF.
std::string FormatSignatureFile(std::vector<MacSignature> records);

/// Fills the table with the three built-in records.
void LoadDefaultSignatures(SignatureTable& table);

/// Rebuilds the table from the signatures file: the built-in records when
/// the file is missing, nothing when it is empty; a duplicate key is
/// reported and skipped; a damaged (or unreadable) file is reported and the
/// built-in records replace whatever was read. Messages are in French for
/// language 1, English otherwise.
void LoadSignatures(SignatureTable& table, platform::FileSystem& fs, const std::string& path,
                    Dialogs& dialogs, Language language);

}  // namespace vorn
