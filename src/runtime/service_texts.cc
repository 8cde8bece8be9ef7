#include "runtime/service_texts.h"

namespace vorn {
namespace {

using T = ServiceText;
using F = TextForms;

// The service is "Vorn Service" and the product "Vorn" in every text below.
constexpr ServiceCatalogue kTexts({{
    {T::kInstalled,
     {F::kThree,
      "Vorn Service installé\r\n(le miroir démarre automatiquement au lancement du service)",
      "Vorn Service instalado\r\n(miror automático ao lançamento do servicio)",
      "Vorn Service installed\r\n(mirroring operations start automatically when the service "
      "starts)"}},
    {T::kNotInstalled,
     {F::kThree, "Vorn Service non installé", "Vorn Service naõ instalado",
      "Vorn Service not installed"}},
    {T::kAlreadyInstalled,
     {F::kThree, "Vorn Service déjà installé", "Vorn Service já instalado",
      "Vorn Service already installed"}},
    {T::kRemoved,
     {F::kThree, "Vorn Service: supprimé", "Vorn Service: suprimido", "Vorn Service: removed"}},
    {T::kAfterInstall,
     {F::kThree, "Configuration et démarrage, voir\r\n'Panneau de configuration/Services'",
      "Configuraçaõ ver\r\n'Control panel/Services'",
      "Configuration and start, see\r\n'Control panel/Services'"}},
    {T::kStartupQuestion,
     {F::kThree,
      "Vorn Service installé\r\nvoir 'Panneau de configuration/Services'\r\n\r\nSupprimer Vorn "
      "Service ?",
      "Vorn Service instalado\r\nver 'Control panel/Services'\r\n\r\nSuprimir Vorn Service ?",
      "Vorn Service installed\r\nsee 'Control panel/Services'\r\n\r\nRemove it ?"}},
    {T::kRemovedAtStartup,
     {F::kThree, "Vorn Service supprimé", "Vorn Service suprimido", "Vorn Service removed"}},
    {T::kEventStarted,
     {F::kFrenchEnglish, "Vorn Service: démarré", "Vorn Service: started",
      "Vorn Service: started"}},
    {T::kEventStopped,
     {F::kFrenchEnglish, "Vorn Service: arrêté", "Vorn Service: stopped", "Vorn Service: stopped"}},
    {T::kEventPaused,
     {F::kFrenchEnglish, "Vorn Service: suspendu", "Vorn Service: paused", "Vorn Service: paused"}},
    {T::kEventContinued,
     {F::kFrenchEnglish, "Vorn Service: reprise", "Vorn Service: continued",
      "Vorn Service: continued"}},
    {T::kEventLoggedOff,
     {F::kFrenchEnglish, "Vorn Service: utilisateur déconnecté", "Vorn Service: logoff user",
      "Vorn Service: logoff user"}},
    {T::kModeService, {F::kInvariant, "Service", "Service", "Service"}},
    {T::kModeApplication, {F::kInvariant, "Application", "Application", "Application"}},
    {T::kTipService,
     {F::kInvariant, "Vorn Mirroring Service", "Vorn Mirroring Service", "Vorn Mirroring Service"}},
    {T::kTipApplication,
     {F::kInvariant, "Vorn Mirroring Application", "Vorn Mirroring Application",
      "Vorn Mirroring Application"}},
    {T::kWarningTitle,
     {F::kThree, "Avertir lorsqu'un dossier est inconnu", "Alerta na ausência de uma pasta",
      "Warning on unknown folder"}},
    {T::kChkDossierErr,
     {F::kThree, "Avertir par un message à l'écran et dans le journal",
      "Alerta com um mensagem e jornal", "Warning using display and Log messages"}},
    {T::kChkDossierErrSon,
     {F::kThree, "Avertissement sonore", "Alerta com um bip (som)", "Beep warning"}},
    {T::kChkDossierErrNetSend,
     {F::kThree, "Avertir par un message 'net send' (ci-dessous)",
      "Alerta com um mensagem 'net send' (a baixa)",
      "Warning using a 'net send' message (see below)"}},
    {T::kNetSendNote,
     {F::kFrenchEnglish, "NT seulement - utiliser WinPopup pour recevoir les messages",
      "NT only - use WinPopup to receive messages", "NT only - use WinPopup to receive messages"}},
    {T::kTry, {F::kFrenchEnglish, "Essayer", "Try", "Try"}},
    {T::kCancel, {F::kThree, "&Annuler", "&Cancelar", "&Cancel"}},
    {T::kNoMessage,
     {F::kThree, "Aucun message à envoyer", "Naõ ha mensagem", "No message to send"}},
    {T::kAdminTitle,
     {F::kInvariant, "Vorn Service [NT]", "Vorn Service [NT]", "Vorn Service [NT]"}},
    {T::kInfo,
     {F::kFrenchEnglish,
      "IMPORTANT: Si vous souhaitez accéder à des fichiers situés sur un réseau, le service Vorn "
      "doit démarrer sous un compte utilisateur et non un compte système local [voir par exemple: "
      "Microsoft Knowledge Base Articles Q132679, Q127862, Q124184, Q120582, Q158508]. Dans ce "
      "cas, le service ne peut pas interagir avec le bureau. Vérifier soigneusement la "
      "configuration de démarrage.",
      "IMPORTANT: If Vorn Service needs to access network files (non local files) you will need "
      "to configure it to start under a user account and not a local system account [see for "
      "exemple: Microsoft Knowledge Base Articles Q132679, Q127862, Q124184, Q120582, Q158508]. "
      "In this case, the service cannot interact with the desktop. Check carefully the "
      "configuration.",
      "IMPORTANT: If Vorn Service needs to access network files (non local files) you will need "
      "to configure it to start under a user account and not a local system account [see for "
      "exemple: Microsoft Knowledge Base Articles Q132679, Q127862, Q124184, Q120582, Q158508]. "
      "In this case, the service cannot interact with the desktop. Check carefully the "
      "configuration."}},
    {T::kInteract,
     {F::kFrenchEnglish, "Vorn Service interagit avec le bureau",
      "Vorn Service can interact with the desktop", "Vorn Service can interact with the desktop"}},
    {T::kInteractWarning,
     {F::kFrenchEnglish, "Impossible d'accéder à des fichiers situés sur un réseau",
      "Cannot access network files", "Cannot access network files"}},
    {T::kEventLogOption,
     {F::kFrenchEnglish, "Mentionner les dossiers invalides dans l'Observateur d'événements",
      "Log invalid folders in the Application EventLog",
      "Log invalid folders in the Application EventLog"}},
    {T::kStartType, {F::kFrenchEnglish, "Type de démarrage", "Start type", "Start type"}},
    {T::kAutomatic, {F::kFrenchEnglish, "Automatique", "Automatic", "Automatic"}},
    {T::kManual, {F::kFrenchEnglish, "Manuel", "Manual", "Manual"}},
    {T::kDisabled, {F::kFrenchEnglish, "Désactivé", "Disabled", "Disabled"}},
    {T::kInstallNote,
     {F::kFrenchEnglish,
      "- Installer Vorn Service et quitter\r\n- Configurer et lancer le service avec 'Panneau de "
      "configuration/Services'",
      "- Install Vorn Service and exit\r\n- Configure and run Vorn Service using 'Control "
      "pannel/Services'",
      "- Install Vorn Service and exit\r\n- Configure and run Vorn Service using 'Control "
      "pannel/Services'"}},
    {T::kInstall, {F::kThree, "&Installer", "&Instalar", "&Install"}},
    {T::kRemoveNote,
     {F::kFrenchEnglish,
      "Pour supprimer Vorn Service, vous pouvez aussi:\r\n- arrêter le service avec 'Panneau de "
      "Configuration/Services'\r\n- lancer à nouveau Vorn (le programme, pas le service)",
      "To remove Vorn Service, you can too:\r\n- stop Vorn Service using 'Control "
      "pannel/Services'\r\n- run again Vorn (the program, not the service)",
      "To remove Vorn Service, you can too:\r\n- stop Vorn Service using 'Control "
      "pannel/Services'\r\n- run again Vorn (the program, not the service)"}},
    {T::kRemove, {F::kThree, "&Supprimer", "&Suprimir", "&Remove"}},
}});

}  // namespace

const ServiceCatalogue& ServiceTexts() {
  return kTexts;
}

}  // namespace vorn
