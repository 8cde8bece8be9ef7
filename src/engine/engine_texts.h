#pragma once

#include "base/text.h"

namespace vorn {

/// Texts of the mirror engine: the summary fragments (plural and singular
/// forms apart), the tray tips and the unknown-folder messages.
enum class EngineText {
  // Summary line 1.
  kAt,  ///< between date and time
  kFilesInPlural,
  kFilesInSingular,
  kInFoldersPlural,  ///< Portuguese "nas ", chosen by the source-folder count
  kInFoldersSingular,
  kSourceFoldersPlural,
  kSourceFoldersSingular,
  kInvalidSourcePlural,
  kInvalidSourceSingular,
  kInvalidTargetPlural,
  kInvalidTargetSingular,
  // Summary line 2.
  kFilesPart,
  kCreatedPlural,
  kCreatedSingular,
  kModifiedPlural,
  kModifiedSingular,
  kRemovedPlural,
  kRemovedSingular,
  kLockedPlural,
  kLockedSingular,
  kFoldersPart,
  kFoldersCreatedPlural,
  kFoldersCreatedSingular,
  kFoldersRemovedPlural,
  kFoldersRemovedSingular,
  kSecuritiesPart,
  kSecuritiesCopiedPlural,
  kSecuritiesCopiedSingular,
  kSecuritiesNotCopiedPlural,
  kSecuritiesNotCopiedSingular,
  kAttributesPart,
  kElapsedTime,
  // Tray tips.
  kTrayMirroring,
  kTrayWaiting,
  // Unknown folders.
  kUnknownSource,
  kUnknownTarget,
  kSourceVanishedDuringRemoval,
  // Source roots a pass refuses to mirror, lest it empty the target.
  kSourceUnreadable,
  kSourceOnOtherVolume,
  kSourceEmpty,
  kCount,
};

using EngineCatalogue = Catalogue<EngineText, static_cast<size_t>(EngineText::kCount)>;

const EngineCatalogue& EngineTexts();

inline std::string_view Tr(EngineText id, Language language) {
  return EngineTexts().Get(id, language);
}

/// The plural text when count > 1, else the singular one (0 takes the singular).
inline std::string_view TrCount(EngineText plural, EngineText singular, int count,
                                Language language) {
  return Tr(count > 1 ? plural : singular, language);
}

}  // namespace vorn
