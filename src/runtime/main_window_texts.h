#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/system_info.h"
#include "base/text.h"

namespace vorn {

/// Captions of the main window's menus, labels, frames and buttons, keyed by
/// the control's name.
enum class MainWindowText {
  kFichier,
  kDemarrer,
  kRestaurer,
  kQuitter,
  kDossiers,
  kAjouterSource,
  kAjouterSourceParcourir,
  kAjouterSourceSaisir,
  kModifierSource,
  kModifierCible,
  kSupprimerDossiers,
  kConfiguration,
  kMiroirSousDossiers,
  kTypeCopie,
  kTypeCopieNormale,
  kTypeCopieSecurisee,
  kCopierAttributs,
  kCopierProprietaire,
  kCopierSecurite,
  kCopierSecuriteNon,
  kCopierSecuriteMod,
  kCopierSecuriteDossiers,
  kCopierSecuriteTout,
  kTempo,
  kPerformance,
  kPrefixeCibleDefaut,
  kAfficherFichiers,
  kAfficherLocked,
  kDossierErr,
  kAutomatique,
  kArretAutomatique,
  kGestionSignatures,
  kLogs,
  kDefinirLogs,
  kVoirLogs,
  kPurgeLogs,
  kLangue,
  kAide,
  kAttente,
  kCopie,
  kClic,
  kLegende1,
  kLegende2,
  kSources,
  kCibles,
  kMaj,
  kDifferent,
  kNouveau,
  kDisable,
  kLegende3,
  kLegende4,
  kLegende5,
  kLocked,
  kBulle1,
  kBulle2,
  kBulle3,
  kFrameLegende,
  kFrameSourcesCibles,
  kFrameSources,
  kFrameCibles,
  kAjouter,
  kSupprimer,
  kModifier,
  kEffacementWithFolders,
  kEffacementFilesOnly,
  kEffacementWithFoldersToggled,
  kEffacementFilesOnlyToggled,
  kDossiersSourcesWithSub,
  kDossiersSources,
  kDossiersCiblesWithSub,
  kDossiersCibles,
  kDossierMacNt,
  kDossierMacNotNt,
  kPictureMacTipNt,
  kPictureMacTipNotNt,
  kServicePrefix,
  kAPropos,
  kMiroirTip,
  kRemovalWarning,
  kExitQuestion,
  kNoHelp,
  kFilesFoldersIn,
  kFolderWord,
  kCount,
};

using MainWindowCatalogue = Catalogue<MainWindowText, static_cast<size_t>(MainWindowText::kCount)>;

const MainWindowCatalogue& MainWindowTexts();

inline std::string_view Tr(MainWindowText id, Language language) {
  return MainWindowTexts().Get(id, language);
}

/// Every caption and tooltip the language sets on the main window, the
/// variants chosen by the sub-folder setting and the system family, the
/// repeated captions copied: what the window applies in one sweep.
std::vector<ControlText> MainWindowCaptions(Language language, bool sub_folders,
                                            SystemFamily family);

/// The removal command's and the two folder headings' captions when the
/// sub-folder command is toggled (without the default-value suffix).
std::vector<ControlText> SubFolderCaptions(Language language, bool sub_folders);

/// The help file for a language: VornHelpFRE.htm, VornHelpPOR.htm or VornHelpENG.htm.
std::string HelpFileName(Language language);

/// Where the help file of a language may be, in the order to try: the
/// application folder (as the program always looked), beside the
/// executable (a build tree), and share/vorn next to the executable's bin
/// folder (an installed copy).
std::vector<std::string> HelpFileLocations(const std::string& app_folder,
                                           const std::string& executable_folder, Language language);

}  // namespace vorn
