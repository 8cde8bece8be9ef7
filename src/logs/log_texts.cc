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
    {T::kChkLogs,
     {F::kThree, "Archiver quotidiennement les opérations de miroir",
      "Registrar diáriamente as operações no jornal",
      "Archive mirroring operations in daily Log files"}},
    {T::kChkFichiersLogs,
     {F::kThree, "Journaliser les noms des fichiers et dossiers répliqués",
      "Registrar os nomes dos ficheiros e pastas nos jornais",
      "Record files and folders names in Log files"}},
    {T::kLogFolderTitle,
     {F::kThree, "Les journaux sont stockés dans le dossier:",
      "Os jornais estão arquivados na pasta:", "Log files are stored in the following folder"}},
    {T::kChkPurgeLogs,
     {F::kThree, "Effacer automatiquement les journaux après...",
      "Suprimir automáticamente os jornais depois de...",
      "Remove Log files automatically after..."}},
    {T::kDays, {F::kThree, "jours", "dias", "days"}},
    {T::kMinimumReached,
     {F::kThree, "Valeur minimale atteinte", "Valor mínimo atingido", "Minimal value reached"}},
    {T::kMaximumReached,
     {F::kThree, "Valeur maximale atteinte", "Valor máximo atingido", "Maximal value reached"}},
    {T::kInvalidValuePrefix,
     {F::kThree, "Valeur incorrecte: ", "Valor inválido: ", "Invalid value: "}},
    {T::kCancel, {F::kThree, "&Annuler", "&Cancelar", "&Cancel"}},
    {T::kViewerTitle,
     {F::kThree, "Voir les journaux - [Retour à Vorn] ->", "Ver os jornais - [Fechar para Vorn] ->",
      "Check Logs - [Back to Vorn: close] ->"}},
    {T::kRemoveLog, {F::kThree, "Effacer le journal '", "Suprimir o jornal '", "Remove Log '"}},
    {T::kPopupCancel, {F::kThree, "Annuler", "Cancelar", "Cancel"}},
}});

}  // namespace

const LogCatalogue& LogTexts() {
  return kTexts;
}

}  // namespace vorn
