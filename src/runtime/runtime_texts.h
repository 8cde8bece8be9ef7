#pragma once

#include <string>

#include "base/text.h"

namespace vorn {

/// Texts of start-up and of the runs without a window.
enum class ShellText {
  kAlreadyRunning,
  kNothingToMirror,
  kFilesSeenProgress,
  kAboutTitle,
  kAboutCredit,
  kAboutWithOptimization,
  kAboutWithoutOptimization,
  kAboutOpenFiles,
  kAboutHelpOpenFiles,
  kAboutHelp,
  kDryRunNotice,
  kUnwatchedTree,
  kCount,
};

using ShellCatalogue = Catalogue<ShellText, static_cast<size_t>(ShellText::kCount)>;

const ShellCatalogue& ShellTexts();

inline std::string_view Tr(ShellText id, Language language) {
  return ShellTexts().Get(id, language);
}

/// The about box's credit line: product, version, what it does, and whether
/// the platform copy carries named streams.
std::string AboutCredit(bool copy_carries_streams, Language language);

}  // namespace vorn
