#include "engine/engine_texts.h"

namespace vorn {
namespace {

using T = EngineText;
using F = TextForms;

constexpr EngineCatalogue kTexts({{
    {T::kAt, {F::kThree, " à ", " às ", " - "}},
    {T::kFilesInPlural, {F::kThree, " fichiers dans ", " ficheiros ", " files in "}},
    {T::kFilesInSingular, {F::kThree, " fichier dans ", " ficheiro ", " file in "}},
    {T::kInFoldersPlural, {F::kPortugueseOnly, "", "nas ", ""}},
    {T::kInFoldersSingular, {F::kPortugueseOnly, "", "na ", ""}},
    {T::kSourceFoldersPlural,
     {F::kThree, " dossiers sources (", " pastas de entrada (", " source folders ("}},
    {T::kSourceFoldersSingular,
     {F::kThree, " dossier source (", " pasta de entrada (", " source folder ("}},
    {T::kInvalidSourcePlural,
     {F::kThree, " dossiers sources invalides; ", " pastas de entrada desconhecidas; ",
      " invalid source folders; "}},
    {T::kInvalidSourceSingular,
     {F::kThree, " dossier source invalide; ", " pasta de entrada desconhecida; ",
      " invalid source folder; "}},
    {T::kInvalidTargetPlural,
     {F::kThree, " dossiers cibles invalides)", " pastas de saída desconhecidas)",
      " invalid target folders)"}},
    {T::kInvalidTargetSingular,
     {F::kThree, " dossier cible invalide)", " pasta de saída desconhecida)",
      " invalid target folder)"}},
    {T::kFilesPart, {F::kThree, "Fichiers: ", "Ficheiros: ", "Files: "}},
    {T::kCreatedPlural, {F::kThree, " créés, ", " criados, ", " created, "}},
    {T::kCreatedSingular, {F::kThree, " créé, ", " criado, ", " created, "}},
    {T::kModifiedPlural, {F::kThree, " modifiés, ", " modificados, ", " modified, "}},
    {T::kModifiedSingular, {F::kThree, " modifié, ", " modificado, ", " modified, "}},
    {T::kRemovedPlural, {F::kThree, " supprimés, ", " suprimidos, ", " removed, "}},
    {T::kRemovedSingular, {F::kThree, " supprimé, ", " suprimido, ", " removed, "}},
    {T::kLockedPlural, {F::kFrenchEnglish, " verrouillés", " locked", " locked"}},
    {T::kLockedSingular, {F::kFrenchEnglish, " verrouillé", " locked", " locked"}},
    {T::kFoldersPart, {F::kThree, "; Dossiers: ", "; Pastas: ", "; Folders: "}},
    {T::kFoldersCreatedPlural, {F::kThree, " créés, ", " criadas, ", " created, "}},
    {T::kFoldersCreatedSingular, {F::kThree, " créé, ", " criada, ", " created, "}},
    {T::kFoldersRemovedPlural, {F::kThree, " supprimés", " suprimidas", " removed"}},
    {T::kFoldersRemovedSingular, {F::kThree, " supprimé", " suprimida", " removed"}},
    {T::kSecuritiesPart, {F::kThree, "; Sécurités: ", "; Seguridades: ", "; Securities: "}},
    {T::kSecuritiesCopiedPlural, {F::kThree, " copiées, ", " copiadas, ", " copied, "}},
    {T::kSecuritiesCopiedSingular, {F::kThree, " copiée, ", " copiada, ", " copied, "}},
    {T::kSecuritiesNotCopiedPlural, {F::kThree, " non copiées", " naõ copiadas", " not copied"}},
    {T::kSecuritiesNotCopiedSingular, {F::kThree, " non copiée", " naõ copiada", " not copied"}},
    {T::kAttributesPart, {F::kThree, "; Attributs: ", "; Attributos: ", "; Attributes: "}},
    {T::kElapsedTime, {F::kThree, "; durée ", "; duração ", "; elapsed time "}},
    {T::kTrayMirroring, {F::kThree, " - Miroir", " - Miror", " - Mirror"}},
    {T::kTrayWaiting, {F::kThree, " - Attente", " - Espera", " - Wait"}},
    {T::kUnknownSource,
     {F::kThree, " - Dossier source inconnu", " - Pasta de entrada desconhecida",
      " - Unknown source folder"}},
    {T::kUnknownTarget,
     {F::kThree, " - Dossier cible inconnu", " - Pasta de saída desconhecida",
      " - Unknown target folder"}},
    {T::kSourceVanishedDuringRemoval,
     {F::kThree,
      " - Effacement des fichiers obsolètes<br>Dossier source inconnu!<br>Arrêt du programme</b>",
      " - Suprimir os ficheiros antigos<br>Pasta de entrada desconhecida!<br>Ending program</b>",
      " - Remove old files<br>Unknown source folder!<br>Ending program</b>"}},
    {T::kSourceUnreadable,
     {F::kThree, " - Dossier source illisible : pas de miroir",
      " - Pasta de entrada ilegível: não copiada", " - Source folder cannot be read: not mirrored"}},
    {T::kSourceOnOtherVolume,
     {F::kThree,
      " - Le dossier source n'est plus sur le volume du dernier miroir (disque ou partage absent ?) : "
      "pas de miroir",
      " - A pasta de entrada já não está no volume do último miror (disco ou partilha ausente?): "
      "não copiada",
      " - Source folder is no longer on the volume it was last mirrored from (disk or share "
      "missing?): not mirrored"}},
    {T::kSourceEmpty,
     {F::kThree,
      " - Dossier source vide alors que la cible ne l'est pas (disque ou partage absent ?) : "
      "pas de miroir",
      " - Pasta de entrada vazia e a pasta de saída não (disco ou partilha ausente?): não copiada",
      " - Source folder is empty while its target is not (disk or share missing?): not "
      "mirrored"}},
}});

}  // namespace

const EngineCatalogue& EngineTexts() {
  return kTexts;
}

}  // namespace vorn
