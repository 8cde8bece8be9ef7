#pragma once

#include <string>

#include "engine/mirror_counters.h"
#include "base/text.h"

namespace vorn {

/// What a summary needs besides the counters.
struct SummaryContext {
  Language language = kUnset;
  std::string long_date;  ///< the date in the user's long format
  std::string time;       ///< "hh:nn:ss"
  int elapsed_seconds = 0;
  bool sub_folders = true;      ///< MiroirSousDossiers: the folders part
  bool security_shown = false;  ///< file security offered and CopierSecurite on
  bool attributes = false;      ///< CopierAttributs: the attributes part
};

/// The two summary lines of a pass.
struct SummaryLines {
  std::string first;
  std::string second;
  /// Both lines joined by CR LF, as the status label shows them.
  std::string Joined() const { return first + "\r\n" + second; }
};

SummaryLines BuildSummaryLines(const MirrorCounters& counters, const SummaryContext& context);

/// "hh:nn:ss" of a time of day.
std::string FormatTimeOfDay(int hour, int minute, int second);

}  // namespace vorn
