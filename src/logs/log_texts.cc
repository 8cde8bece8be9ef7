#include "logs/log_texts.h"

namespace vorn {
namespace {

using T = LogText;
using F = TextForms;

constexpr LogCatalogue kTexts({{
    {T::kHeading,
     {F::kThree, "<b><center><h1>Journal des opérations de miroir</h1></center></b>",
      "<b><center><h1>Jornal das operações de miror</h1></center></b>",
      "<b><center><h1>Mirroring Logs</h1></center></b>"}},
    {T::kCreation, {F::kThree, "Création", "Criação", "Creation"}},
    {T::kModification, {F::kThree, "Modification", "Modificação", "Modification"}},
    {T::kDeletion, {F::kThree, "Effacement", "Supressão", "Delete"}},
    {T::kFolder, {F::kThree, "dossier", "pasta", "folder"}},
    {T::kEmptyFolder, {F::kThree, "dossier vide", "pasta vazia", "empty folder"}},
    {T::kSecurity, {F::kThree, "Sécurité modifiée", "Seguridade modificada", "Modified security"}},
    {T::kAttributes, {F::kThree, "attributs", "atributos", "attributes"}},
    {T::kLocked,
     {F::kThree, "Verrouillé (non copié)", "Locked (não copiado)", "Locked (not copied)"}},
}});

}  // namespace

const LogCatalogue& LogTexts() {
  return kTexts;
}

}  // namespace vorn
