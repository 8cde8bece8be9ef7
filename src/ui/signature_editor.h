#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "macintosh/signatures.h"
#include "platform/file_system.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace vorn {

/// How the editor's status line shows a message.
enum class StatusTone {
  kRefusal,  ///< red, with a beep: the command did nothing
  kChange,   ///< magenta: the list changed
};

/// A colour of the status line.
struct StatusColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const StatusColour&) const = default;
};
StatusColour ToneColour(StatusTone tone);

/// What an editing command did, in the words the status line shows.
struct SignatureOutcome {
  std::string message;
  StatusTone tone = StatusTone::kRefusal;
  /// The row to select and bring into view; none leaves the selection to
  /// the command (kept on a refusal, cleared after a removal).
  std::optional<size_t> row;
  bool beep() const { return tone == StatusTone::kRefusal; }
};

/// The signatures editor's working copy of the signatures file. The engine's
/// table is left alone until Save, which writes the file and reloads it.
class SignatureEditor {
 public:
  explicit SignatureEditor(Language language) : language_(language) {}

  /// Reads the file's complete records (type/creator and description both
  /// present) in file order; a missing or unreadable file gives an empty list.
  /// A later record of a type/creator already listed is reported and skipped,
  /// as the table does. The built-in records are never listed.
  void Open(platform::FileSystem& fs, const std::string& path, Dialogs& dialogs);

  /// Adds the signature typed in the three boxes, or changes the row that
  /// has its type/creator.
  SignatureOutcome AddOrModify(const MacSignature& typed);
  /// Removes a row; a refusal when none is selected.
  SignatureOutcome Remove(std::optional<size_t> selected);
  /// Sorts the rows by a column (0 type/creator, 1 extension, 2 description)
  /// after flipping the direction all columns share. Returns where the
  /// selected row went.
  std::optional<size_t> SortBy(int column, std::optional<size_t> selected);

  /// Writes the file from the rows (nothing when unmodified) and reloads the
  /// table from it. When the file cannot be written, the message box text
  /// saying why; the rows stay modified.
  std::optional<std::string> Save(platform::FileSystem& fs, const std::string& path,
                                  SignatureTable& table, Dialogs& dialogs);

  /// "Vorn - Macintosh signatures (n)", in its after-a-change form once the
  /// list has changed.
  std::string Caption() const;
  /// The question asked before modified rows are dropped.
  std::string DiscardQuestion() const;
  /// The column headings, and the captions of the labels and buttons.
  std::vector<std::string> ColumnHeadings() const;
  std::vector<ControlText> Captions() const;

  const std::vector<MacSignature>& rows() const { return rows_; }
  bool modified() const { return modified_; }
  bool ascending() const { return ascending_; }

 private:
  SignatureOutcome Refuse(std::string message) const;
  SignatureOutcome Changed(std::string message, std::optional<size_t> row);

  Language language_;
  std::vector<MacSignature> rows_;
  bool modified_ = false;
  bool changed_ = false;  ///< since opening: picks the caption's form
  bool ascending_ = true;
};

}  // namespace vorn
