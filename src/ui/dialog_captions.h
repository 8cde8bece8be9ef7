#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace vorn {

/// The captions of the per-pair settings dialog, with the default interval
/// `temporisation` in the two that show it. The window title is the entry
/// named "frmSetMode".
std::vector<ControlText> SetModeCaptions(Language language, int16_t temporisation);

/// The captions of the default interval, performance and target-prefix dialogs.
std::vector<ControlText> TempoCaptions(Language language);
std::vector<ControlText> PerformanceCaptions(Language language);
std::vector<ControlText> PrefixeCibleCaptions(Language language);

}  // namespace vorn
