#pragma once

#include "shell/text.h"

namespace vorn {

/// Texts of start-up and of the runs without a window.
enum class ShellText {
  kAlreadyRunning,
  kNothingToMirror,
  kFilesSeenProgress,
  kCount,
};

using ShellCatalogue = Catalogue<ShellText, static_cast<size_t>(ShellText::kCount)>;

const ShellCatalogue& ShellTexts();

inline std::string_view Tr(ShellText id, int16_t language) {
  return ShellTexts().Get(id, language);
}

}  // namespace vorn
