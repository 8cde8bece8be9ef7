#include "shell/shell_texts.h"

namespace vorn {
namespace {

using T = ShellText;
using F = TextForms;

constexpr ShellCatalogue kTexts({{
    {T::kAlreadyRunning,
     {F::kThree, "Programme déjà lancé", "Programa já activo", "Program already running"}},
    {T::kNothingToMirror,
     {F::kThree, "Aucun couple de dossiers à mettre en miroir", "Nenhum par de pastas para o miror",
      "No folder pair to mirror"}},
    {T::kFilesSeenProgress, {F::kThree, " fichiers vus", " ficheiros vistos", " files seen"}},
}});

}  // namespace

const ShellCatalogue& ShellTexts() {
  return kTexts;
}

}  // namespace vorn
