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
}});

}  // namespace

const SettingsCatalogue& SettingsTexts() {
  return kTexts;
}

}  // namespace vorn
