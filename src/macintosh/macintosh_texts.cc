#include "macintosh/macintosh_texts.h"

namespace vorn {
namespace {

using T = MacintoshText;
using F = TextForms;

constexpr MacintoshCatalogue kTexts({{
    {T::kDuplicateKey,
     {F::kFrenchEnglish, "Doublon dans le fichier des Signatures: ",
      "Duplicate key in Signatures file: ", "Duplicate key in Signatures file: "}},
    {T::kCorruptedFile,
     {F::kFrenchEnglish,
      "Fichier Signatures endommagé:", "Corrupted Signatures file:", "Corrupted Signatures file:"}},
    {T::kLine, {F::kFrenchEnglish, "Ligne:", "Line:", "Line:"}},
}});

}  // namespace

const MacintoshCatalogue& MacintoshTexts() {
  return kTexts;
}

}  // namespace vorn
