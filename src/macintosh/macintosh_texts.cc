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
    {T::kEditorTitle,
     {F::kFrenchEnglish, "Signatures Macintosh", "Macintosh signatures", "Macintosh signatures"}},
    {T::kEditorTitleChanged,
     {F::kFrenchEnglish, "Signatures Macintosh", "Macintosh Signatures", "Macintosh Signatures"}},
    {T::kColumnSignature, {F::kInvariant, "Signature", "Signature", "Signature"}},
    {T::kColumnExtension, {F::kInvariant, "Extension", "Extension", "Extension"}},
    {T::kColumnType, {F::kInvariant, "Type Macintosh", "Type Macintosh", "Type Macintosh"}},
    {T::kSignatureLabel,
     {F::kFrenchEnglish, "Type/Créateur\r\n[obligatoire]", "Type/Creator\r\n[mandatory]",
      "Type/Creator\r\n[mandatory]"}},
    {T::kExtensionLabel,
     {F::kFrenchEnglish, "Extension\r\n[facultative]", "Extension\r\n[optional]",
      "Extension\r\n[optional]"}},
    {T::kTypeLabel,
     {F::kFrenchEnglish, "Type Macintosh (libellé)\r\n[obligatoire]",
      "Macintosh Type (description)\r\n[mandatory]",
      "Macintosh Type (description)\r\n[mandatory]"}},
    {T::kAddModify, {F::kFrenchEnglish, "Ajouter/Modifier", "&Add/Modify", "&Add/Modify"}},
    {T::kRemove, {F::kFrenchEnglish, "Supprimer", "&Remove", "&Remove"}},
    {T::kSave, {F::kFrenchEnglish, "&Sauvegarder", "&Save", "&Save"}},
    {T::kCancel, {F::kFrenchEnglish, "&Annuler", "&Cancel", "&Cancel"}},
    {T::kSignatureLength,
     {F::kFrenchEnglish, "La signature Type/Créateur doit comporter 8 caractères",
      "Type/Creator signature must be 8 characters",
      "Type/Creator signature must be 8 characters"}},
    {T::kExtensionLength,
     {F::kFrenchEnglish, "L'extension Windows doit comporter 3 caractères au plus",
      "Windows extension must be 3 characters or less",
      "Windows extension must be 3 characters or less"}},
    {T::kExtensionCharacter,
     {F::kFrenchEnglish, "Caractère invalide dans une extension Windows",
      "Invalid character in Windows extension", "Invalid character in Windows extension"}},
    {T::kTypeMandatory,
     {F::kFrenchEnglish, "Le type Macintosh est obligatoire", "Macintosh type is mandatory",
      "Macintosh type is mandatory"}},
    {T::kAdded,
     {F::kFrenchEnglish, "Signature ajoutée: ", "Added Signature: ", "Added Signature: "}},
    {T::kUnchanged,
     {F::kFrenchEnglish,
      "Signature inchangée: ", "Signature not modified: ", "Signature not modified: "}},
    {T::kModified,
     {F::kFrenchEnglish, "Signature modifié: ", "Modified Signature: ", "Modified Signature: "}},
    {T::kSelectToRemove,
     {F::kFrenchEnglish, "Sélectionner une signature à supprimer", "Select a signature to remove",
      "Select a signature to remove"}},
    {T::kRemoved,
     {F::kFrenchEnglish, "Signature supprimée: ", "Removed Signature: ", "Removed Signature: "}},
    {T::kDiscardChanges,
     {F::kFrenchEnglish, "Liste modifiée\r\nQuitter sans sauvegarder les modifications",
      "Modified list\r\nDiscard changes", "Modified list\r\nDiscard changes"}},
    {T::kCannotSave,
     {F::kFrenchEnglish, "Impossible d'écrire le fichier des Signatures:",
      "Cannot write Signatures file:", "Cannot write Signatures file:"}},
}});

}  // namespace

const MacintoshCatalogue& MacintoshTexts() {
  return kTexts;
}

}  // namespace vorn
