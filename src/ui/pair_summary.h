#pragma once

#include <cstdint>
#include <string>

#include "base/system_info.h"
#include "base/text.h"
#include "config/folder_pairs.h"

namespace vorn {

/// An interval in seconds as the hover summary writes it: "1 h 0 min 5 s",
/// "1 min 0 s" or "5 s".
std::string IntervalText(int32_t seconds);

/// The two-line summary of a pair shown while the mouse is over its row.
struct PairSummary {
  std::string text;     ///< the folders, the disabled mark, CR LF, "T = " interval and policy
  bool greyed = false;  ///< the pair is disabled ("0"): the label is drawn grey
};

/// The summary of `pair` shown in its grid row `row`, with the default
/// interval `temporisation` seconds.
PairSummary SummarizePair(const FolderPair& pair, const PairRow& row, int16_t temporisation,
                          Language language, SystemFamily family);

}  // namespace vorn
