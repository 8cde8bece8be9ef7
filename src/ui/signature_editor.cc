#include "ui/signature_editor.h"

#include <algorithm>

#include "macintosh/macintosh_texts.h"
#include "base/constants.h"
#include "base/strings.h"

namespace vorn {
namespace {

using T = MacintoshText;

constexpr size_t kTypeCreatorLength = 8;
constexpr size_t kMaxExtensionLength = 3;
// What a Windows file name cannot hold.
constexpr std::string_view kForbiddenInExtension = "\\/:*?\"<>|";

// Lengths are what the user sees: characters, not the bytes of their UTF-8.
size_t CharacterCount(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The table's keys ignore letter case, so the editor finds a signature the
// same way: a row typed in another case is the same record, not a second one
// the table would refuse on reload.
bool SameKey(std::string_view a, std::string_view b) {
  return EqualIgnoringAsciiCase(a, b);
}

bool KeyLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](char x, char y) { return AsciiUpper(x) < AsciiUpper(y); });
}

const std::string& Field(const MacSignature& row, int column) {
  return column == 0 ? row.type_creator : column == 1 ? row.extension : row.description;
}

}  // namespace

StatusColour ToneColour(StatusTone tone) {
  return tone == StatusTone::kRefusal ? StatusColour{255, 0, 0} : StatusColour{255, 0, 255};
}

void SignatureEditor::Open(platform::FileSystem& fs, const std::string& path, Dialogs& dialogs) {
  rows_.clear();
  modified_ = false;
  changed_ = false;
  ascending_ = true;
  const auto text = fs.ReadFile(path);
  if (!text.ok()) return;
  // A damaged end was reported when the table was loaded; what came before
  // it is still worth editing.
  for (MacSignature& record : ParseSignatureFile(*text).records) {
    if (record.type_creator.empty() || record.description.empty()) continue;
    const bool taken = std::any_of(rows_.begin(), rows_.end(), [&](const MacSignature& row) {
      return SameKey(row.type_creator, record.type_creator);
    });
    if (taken) {
      dialogs.ShowMessage(MessageIcon::kExclamation,
                          std::string(Tr(T::kDuplicateKey, language_)) + record.type_creator);
      continue;
    }
    rows_.push_back(std::move(record));
  }
}

SignatureOutcome SignatureEditor::Refuse(std::string message) const {
  return {std::move(message), StatusTone::kRefusal, std::nullopt};
}

SignatureOutcome SignatureEditor::Changed(std::string message, std::optional<size_t> row) {
  modified_ = true;
  changed_ = true;
  return {std::move(message), StatusTone::kChange, row};
}

SignatureOutcome SignatureEditor::AddOrModify(const MacSignature& typed) {
  const auto text = [this](T id) { return std::string(Tr(id, language_)); };
  if (CharacterCount(typed.type_creator) != kTypeCreatorLength) {
    return Refuse(text(T::kSignatureLength));
  }
  if (CharacterCount(typed.extension) > kMaxExtensionLength) {
    return Refuse(text(T::kExtensionLength));
  }
  if (typed.extension.find_first_of(kForbiddenInExtension) != std::string::npos) {
    return Refuse(text(T::kExtensionCharacter));
  }
  if (typed.description.empty()) return Refuse(text(T::kTypeMandatory));

  const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const MacSignature& row) {
    return SameKey(row.type_creator, typed.type_creator);
  });
  if (found == rows_.end()) {
    rows_.push_back(typed);
    return Changed(text(T::kAdded) + typed.type_creator, rows_.size() - 1);
  }
  if (*found == typed) return Refuse(text(T::kUnchanged) + typed.type_creator);
  *found = typed;
  return Changed(text(T::kModified) + typed.type_creator,
                 static_cast<size_t>(found - rows_.begin()));
}

SignatureOutcome SignatureEditor::Remove(std::optional<size_t> selected) {
  if (!selected || *selected >= rows_.size()) {
    return Refuse(std::string(Tr(T::kSelectToRemove, language_)));
  }
  const std::string removed = rows_[*selected].type_creator;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected));
  return Changed(std::string(Tr(T::kRemoved, language_)) + removed, std::nullopt);
}

std::optional<size_t> SignatureEditor::SortBy(int column, std::optional<size_t> selected) {
  ascending_ = !ascending_;
  std::vector<size_t> order(rows_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  // Stable, so rows that tie keep their relative order in both directions.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const std::string& x = Field(rows_[a], column);
    const std::string& y = Field(rows_[b], column);
    return ascending_ ? KeyLess(x, y) : KeyLess(y, x);
  });
  std::vector<MacSignature> sorted;
  sorted.reserve(rows_.size());
  std::optional<size_t> moved;
  for (size_t i = 0; i < order.size(); ++i) {
    if (selected && order[i] == *selected) moved = i;
    sorted.push_back(std::move(rows_[order[i]]));
  }
  rows_ = std::move(sorted);
  return moved;
}

std::optional<std::string> SignatureEditor::Save(platform::FileSystem& fs, const std::string& path,
                                                 SignatureTable& table, Dialogs& dialogs) {
  if (!modified_) return std::nullopt;
  const platform::Status written = fs.ReplaceFile(path, FormatSignatureFile(rows_));
  if (!written.ok()) {
    return std::string(Tr(T::kCannotSave, language_)) + "\r\n" + written.error().Describe();
  }
  LoadSignatures(table, fs, path, dialogs, language_);
  modified_ = false;
  return std::nullopt;
}

std::string SignatureEditor::Caption() const {
  return std::string(kProductName) + " - " +
         std::string(Tr(changed_ ? T::kEditorTitleChanged : T::kEditorTitle, language_)) + " (" +
         std::to_string(rows_.size()) + ")";
}

std::string SignatureEditor::DiscardQuestion() const {
  return std::string(Tr(T::kDiscardChanges, language_));
}

std::vector<std::string> SignatureEditor::ColumnHeadings() const {
  return {std::string(Tr(T::kColumnSignature, language_)),
          std::string(Tr(T::kColumnExtension, language_)),
          std::string(Tr(T::kColumnType, language_))};
}

std::vector<ControlText> SignatureEditor::Captions() const {
  const auto text = [this](T id) { return std::string(Tr(id, language_)); };
  return {
      {"lblSignature", text(T::kSignatureLabel)}, {"lblExtension", text(T::kExtensionLabel)},
      {"lblType", text(T::kTypeLabel)},           {"cmdAjouter", text(T::kAddModify)},
      {"cmdSupprimer", text(T::kRemove)},         {"cmdOK", text(T::kSave)},
      {"cmdAnnuler", text(T::kCancel)},
  };
}

}  // namespace vorn
