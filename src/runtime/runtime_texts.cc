#include "runtime/runtime_texts.h"

#include "base/constants.h"

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
    {T::kAboutTitle, {F::kThree, "A propos de...", "Créditos...", "About..."}},
    {T::kAboutCredit,
     {F::kThree, ": mirroring automatique de fichiers", ": copia automática de ficheiros",
      ": automatic files mirroring"}},
    {T::kAboutWithOptimization,
     {F::kThree, " (avec optimisation NT/SP4+)", " (com otimização NT/SP4+)",
      " (with NT/SP4+ optimization)"}},
    {T::kAboutWithoutOptimization,
     {F::kThree, " (sans optimisation NT/SP4+)", " (sem otimização NT/SP4+)",
      " (without NT/SP4+ optimization)"}},
    {T::kAboutOpenFiles,
     {F::kThree, "Le miroir des fichiers ouverts nécessite Open File Handler (Swatcon). Voir:",
      "Open File Handler (Swatcon) e necessario para miror ficheiros abertos. Ver:",
      "Purchase Open File Handler (Swatcon) to mirror opened files. See:"}},
    {T::kAboutHelpOpenFiles,
     {F::kThree, "Aide : fichiers ouverts et verrouillés", "Ajuda: ficheiros abertos e bloqueados",
      "Help: open and locked files"}},
    {T::kAboutHelp, {F::kThree, "Aide : Vorn", "Ajuda: Vorn", "Help: Vorn"}},
    {T::kDryRunNotice,
     {F::kThree, "Essai à blanc : rien n'a été modifié", "Simulação: nada foi alterado",
      "Dry run: nothing was changed"}},
    // Followed by the system setting that ran out.
    {T::kUnwatchedTree,
     {F::kThree,
      " : trop de dossiers à surveiller ; ses changements attendent la temporisation. "
      "Limite atteinte : ",
      ": demasiadas pastas para vigiar; as alterações esperam pela temporização. "
      "Limite atingido: ",
      ": too many folders to watch; its changes wait for the interval. Limit reached: "}},
}});

}  // namespace

const ShellCatalogue& ShellTexts() {
  return kTexts;
}

std::string AboutCredit(bool copy_carries_streams, Language language) {
  return ProductLabel() +
         std::string(Tr(T::kAboutCredit, language)) +
         std::string(
             Tr(copy_carries_streams ? T::kAboutWithOptimization : T::kAboutWithoutOptimization,
                language));
}

}  // namespace vorn
