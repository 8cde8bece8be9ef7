#include "ui/pair_summary.h"

#include "base/number_reading.h"
#include "config/settings_texts.h"
#include "base/strings.h"

namespace vorn {
namespace {}  // namespace

std::string IntervalText(int32_t seconds) {
  const int32_t hours = seconds / 3600;
  const int32_t minutes = (seconds / 60) % 60;
  const int32_t rest = seconds % 60;
  if (hours != 0) {
    return std::to_string(hours) + " h " + std::to_string(minutes) + " min " +
           std::to_string(rest) + " s";
  }
  if (minutes != 0) return std::to_string(minutes) + " min " + std::to_string(rest) + " s";
  return std::to_string(rest) + " s";
}

PairSummary SummarizePair(const FolderPair& pair, const PairRow& row, int16_t temporisation,
                          Language language, SystemFamily family) {
  using T = SettingsText;
  int32_t count = ReadLong(pair.NbTemporisations);
  if (count == 0) count = 1;
  // The product is kept in 32 bits and wraps as the original arithmetic did
  // not guard it either; only absurd hand-edited values get there.
  const int32_t total = static_cast<int32_t>(static_cast<int64_t>(temporisation) * count);

  PairSummary summary;
  summary.greyed = pair.Enable == "0";
  std::string& text = summary.text;
  text = std::string(TrimBlanks(row.source_text, " ")) + " -> " +
         std::string(TrimBlanks(row.target_text, " "));
  if (pair.Enable == "0") text += Tr(T::kSummaryDisabled, language);
  text += "\r\nT = " + IntervalText(total);
  if (pair.Deplacer != "1") {
    text += Tr(pair.Effacer == "1" ? T::kSummaryRemove : T::kSummaryKeep, language);
    text += Tr(pair.Nouveau == "1" ? T::kSummaryNewer : T::kSummaryDifferent, language);
  } else {
    text += Tr(T::kSummaryMove, language);
    if (family == SystemFamily::kNt && pair.Renommer == "1")
      text += Tr(T::kSummaryRename, language);
  }
  return summary;
}

}  // namespace vorn
