#include "service/service_texts.h"

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
}});

}  // namespace

const ServiceCatalogue& ServiceTexts() {
  return kTexts;
}

}  // namespace vorn
