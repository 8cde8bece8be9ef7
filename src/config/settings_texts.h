#pragma once

#include "base/text.h"

namespace vorn {

/// Texts of the configuration and folder-pair subsystem.
enum class SettingsText {
  kInvalidPairsFile,
  kMacSourceOnlyLine1,
  kMacSourceOnlyLine2,
  kMacTargetOnlyLine1,
  kMacTargetOnlyLine2,
  kStopMirroringTip,
  kStopMirroringCaption,
  kEscapeNotice,
  kSummaryDisabled,
  kSummaryRemove,
  kSummaryKeep,
  kSummaryNewer,
  kSummaryDifferent,
  kSummaryMove,
  kSummaryRename,
  // The per-pair settings dialog.
  kInvalidValue,
  kRangeLabel,
  kRangeMessageBox,
  kIntervalPrefix,
  kSetModeTitle,
  kFrom,
  kTo,
  kEnable,
  kDefaultIntervalBefore,
  kDefaultIntervalAfter,
  kIntervalsBefore,
  kIntervalsAfter,
  kMove,
  kRename,
  kRenameTipBefore,
  kRenameTipAfter,
  kRemove,
  kUpdateFrame,
  kUpdateDifferent,
  kUpdateNewer,
  kTolerance,
  kEmptySourceAllowed,
  kSafetyNetFrame,
  kKeepVersions,
  kExclusions,
  kKeepVersionsRange,
  kHourShift,
  kHardLinks,
  kExclusionNegation,
  kCancel,
  // The default interval, performance and prefix dialogs.
  kTempoLabel,
  kSeconds,
  kTempoMinimum,
  kTempoMaximum,
  kTempoInvalid,
  kPerformanceLabel,
  kPerformanceMin,
  kPerformanceMax,
  kPrefixDrive,
  kPrefixExample,
  kPrefixUnc1,
  kPrefixUnc2,
  // Pair editing.
  kAddSourcePrompt,
  kModifySourcePrompt,
  kModifyTargetPrompt,
  kSelectSourceToModify,
  kSelectTargetToModify,
  kUncWarning,
  kWindowsFolderWarning,
  kNothingToRemove,
  kSelectPairToRemove,
  kConfirmRemoval,
  // Pairs that may never be mirrored.
  kRefusedSameFolder,
  kRefusedSourceInsideTarget,
  kRefusedTargetInsideSource,
  kRefusedTargetIsRoot,
  kRefusedTargetHoldsOwnFiles,
  kCount,
};

using SettingsCatalogue = Catalogue<SettingsText, static_cast<size_t>(SettingsText::kCount)>;

/// The catalogue, for lookups and for the test that walks every catalogue.
const SettingsCatalogue& SettingsTexts();

/// One text in a language.
inline std::string_view Tr(SettingsText id, Language language) {
  return SettingsTexts().Get(id, language);
}

}  // namespace vorn
