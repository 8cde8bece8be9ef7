#pragma once

#include "base/text.h"

namespace vorn {

/// Texts of the signatures table and its editor (French and English only).
enum class MacintoshText {
  kDuplicateKey,
  kCorruptedFile,
  kLine,
  // The signatures editor.
  kEditorTitle,
  kEditorTitleChanged,
  kColumnSignature,
  kColumnExtension,
  kColumnType,
  kSignatureLabel,
  kExtensionLabel,
  kTypeLabel,
  kAddModify,
  kRemove,
  kSave,
  kCancel,
  kSignatureLength,
  kExtensionLength,
  kExtensionCharacter,
  kTypeMandatory,
  kAdded,
  kUnchanged,
  kModified,
  kSelectToRemove,
  kRemoved,
  kDiscardChanges,
  kCannotSave,
  kCount,
};

using MacintoshCatalogue = Catalogue<MacintoshText, static_cast<size_t>(MacintoshText::kCount)>;

const MacintoshCatalogue& MacintoshTexts();

inline std::string_view Tr(MacintoshText id, Language language) {
  return MacintoshTexts().Get(id, language);
}

}  // namespace vorn
