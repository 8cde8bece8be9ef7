#include "settings/settings_texts.h"

namespace vorn {
namespace {

using T = SettingsText;
using F = TextForms;

constexpr SettingsCatalogue kTexts({{
    {T::kInvalidPairsFile,
     {F::kInvariant, "Invalid hexa string in the parameters file",
      "Invalid hexa string in the parameters file", "Invalid hexa string in the parameters file"}},
    {T::kMacSourceOnlyLine1,
     {F::kThree, "ATTENTION: Un dossier source appartient à un volume Macintosh",
      "ATENÇÃO: Uma pasta de entrada está num volume Macintosh",
      "WARNING: A source folder belongs to a Macintosh volume"}},
    {T::kMacSourceOnlyLine2,
     {F::kThree, "mais le dossier cible corrrespondant n'appartient pas à un volume Macintosh",
      "mas a pasta de saída não",
      "but the corresponding target folder does not belong to a Macintosh volume"}},
    {T::kMacTargetOnlyLine1,
     {F::kThree, "ATTENTION: Un dossier cible appartient à un volume Macintosh",
      "ATENÇÃO: Uma pasta de saída está num volume Macintosh",
      "WARNING: A target folder belongs to a Macintosh volume"}},
    {T::kMacTargetOnlyLine2,
     {F::kThree, "mais le dossier source corrrespondant n'appartient pas à un volume Macintosh",
      "mas a pasta de entrada não",
      "but the corresponding source folder does not belong to a Macintosh volume"}},
    {T::kStartMirroringTip,
     {F::kThree, "Démarrer le miroir des dossiers sources vers les dossiers cibles",
      "Começar o miror das pastas de entrada para as pastas de saída",
      "Start mirroring from source folders to target folders"}},
    {T::kStartMirroringCaption,
     {F::kThree, "&Démarrer le miroir", "&Começar o miror", "&Start mirroring"}},
    {T::kStopMirroringTip, {F::kThree, "Arrêter le miroir", "Parar o miror", "Stop mirroring"}},
    {T::kStopMirroringCaption,
     {F::kThree, "&Arrêter le miroir", "&Parar o miror", "&Stop mirroring"}},
    {T::kEscapeNotice,
     {F::kThree, "Appuyer sur la touche 'Esc' pour afficher la fenêtre principale",
      "'Esc' para ver a janela principal", "Type key 'Esc' to display the main window"}},
    // The pair summary has French and English fragments only; Portuguese
    // takes the English disabled mark and the French policy.
    {T::kSummaryDisabled,
     {F::kFrenchEnglish, " [Miroir inactif]", " [Mirror disabled]", " [Mirror disabled]"}},
    {T::kSummaryRemove,
     {F::kFrenchForPortuguese, "; supprimer les fichiers cibles obsolètes",
      "; supprimer les fichiers cibles obsolètes", "; remove old target files"}},
    {T::kSummaryKeep,
     {F::kFrenchForPortuguese, "; conserver tous les fichiers cibles",
      "; conserver tous les fichiers cibles", "; keep all target files"}},
    {T::kSummaryNewer,
     {F::kFrenchForPortuguese, "; mettre à jour si source plus récent que cible",
      "; mettre à jour si source plus récent que cible",
      "; update if source file newer than target file"}},
    {T::kSummaryDifferent,
     {F::kFrenchForPortuguese, "; mettre à jour si source et cible sont différents",
      "; mettre à jour si source et cible sont différents",
      "; update if source and target files are different"}},
    {T::kSummaryMove,
     {F::kFrenchForPortuguese, "; déplacer les fichiers", "; déplacer les fichiers",
      "; move files"}},
    {T::kSummaryRename,
     {F::kFrenchForPortuguese, " et renommer les fichiers Macintosh",
      " et renommer les fichiers Macintosh", " and rename Macintosh files"}},
}});

}  // namespace

const SettingsCatalogue& SettingsTexts() {
  return kTexts;
}

}  // namespace vorn
