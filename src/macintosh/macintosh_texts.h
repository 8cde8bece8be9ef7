#pragma once

#include "shell/text.h"

namespace vorn {

/// Texts of the signatures table (French and English only).
enum class MacintoshText {
  kDuplicateKey,
  kCorruptedFile,
  kLine,
  kCount,
};

using MacintoshCatalogue = Catalogue<MacintoshText, static_cast<size_t>(MacintoshText::kCount)>;

const MacintoshCatalogue& MacintoshTexts();

inline std::string_view Tr(MacintoshText id, int16_t language) {
  return MacintoshTexts().Get(id, language);
}

}  // namespace vorn
