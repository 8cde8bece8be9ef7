#include "ui/dialog_captions.h"

#include "config/settings_texts.h"

namespace vorn {
namespace {

using T = SettingsText;

// The characters Macintosh names may hold and Windows names may not.
constexpr std::string_view kForbiddenCharacters = "\", *, \\, <, >, ?, /, |";

}  // namespace

std::vector<ControlText> SetModeCaptions(Language language, int16_t temporisation) {
  const auto text = [language](T id) { return std::string(Tr(id, language)); };
  const std::string t = std::to_string(temporisation);
  return {
      {"frmSetMode", text(T::kSetModeTitle)},
      {"lblFrom", text(T::kFrom)},
      {"lblTo", text(T::kTo)},
      {"chkEnable", text(T::kEnable)},
      {"optTempo0", text(T::kDefaultIntervalBefore) + t + text(T::kDefaultIntervalAfter)},
      {"lblMiroirN1", text(T::kIntervalsBefore) + t + text(T::kIntervalsAfter)},
      {"chkDeplacer", text(T::kMove)},
      {"chkRenommer", text(T::kRename)},
      {"chkRenommer",
       text(T::kRenameTipBefore) + std::string(kForbiddenCharacters) + text(T::kRenameTipAfter),
       true},
      {"chkEffacer", text(T::kRemove)},
      {"chkSourceVide", text(T::kEmptySourceAllowed)},
      {"frameMAJ", text(T::kUpdateFrame)},
      {"optNouveau0", text(T::kUpdateDifferent)},
      {"optNouveau1", text(T::kUpdateNewer)},
      {"chkNoMilliseconds", text(T::kTolerance)},
      {"frameFilet", text(T::kSafetyNetFrame)},
      {"lblVersions", text(T::kKeepVersions)},
      {"lblExclusions", text(T::kExclusions)},
      {"chkDecalageHoraire", text(T::kHourShift)},
      {"chkLiensPhysiques", text(T::kHardLinks)},
      {"cmdAnnuler", text(T::kCancel)},
  };
}

std::vector<ControlText> TempoCaptions(Language language) {
  return {{"lblTempo", std::string(Tr(T::kTempoLabel, language))},
          {"lblSecondes", std::string(Tr(T::kSeconds, language))},
          {"cmdAnnuler", std::string(Tr(T::kCancel, language))}};
}

std::vector<ControlText> PerformanceCaptions(Language language) {
  return {{"lblPerformance", std::string(Tr(T::kPerformanceLabel, language))},
          {"lblMin", std::string(Tr(T::kPerformanceMin, language))},
          {"lblMax", std::string(Tr(T::kPerformanceMax, language))},
          {"cmdAnnuler", std::string(Tr(T::kCancel, language))}};
}

std::vector<ControlText> PrefixeCibleCaptions(Language language) {
  return {{"lblPrefixe", std::string(Tr(T::kPrefixDrive, language))},
          {"lblPrefixeExemple", std::string(Tr(T::kPrefixExample, language))},
          {"lblPrefixeUNC1", std::string(Tr(T::kPrefixUnc1, language))},
          {"lblPrefixeUNC2", std::string(Tr(T::kPrefixUnc2, language))},
          {"cmdAnnuler", std::string(Tr(T::kCancel, language))}};
}

}  // namespace vorn
