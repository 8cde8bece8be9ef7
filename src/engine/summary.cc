#include "engine/summary.h"

#include <cstdio>

#include "engine/engine_texts.h"

namespace vorn {
namespace {

using T = EngineText;

// Appends a count followed by its plural or singular fragment.
void AppendCount(std::string& line, int count, T plural, T singular, Language language) {
  line += std::to_string(count);
  line += TrCount(plural, singular, count, language);
}

}  // namespace

std::string FormatTimeOfDay(int hour, int minute, int second) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
  return text;
}

SummaryLines BuildSummaryLines(const MirrorCounters& c, const SummaryContext& context) {
  const Language lang = context.language;
  SummaryLines lines;

  std::string& first = lines.first;
  first = context.long_date;
  first += Tr(T::kAt, lang);
  first += context.time;
  first += "; ";
  AppendCount(first, c.FilesSeen, T::kFilesInPlural, T::kFilesInSingular, lang);
  first += TrCount(T::kInFoldersPlural, T::kInFoldersSingular, c.SourceFolders, lang);
  AppendCount(first, c.SourceFolders, T::kSourceFoldersPlural, T::kSourceFoldersSingular, lang);
  AppendCount(first, c.InvalidSourceFolders, T::kInvalidSourcePlural, T::kInvalidSourceSingular,
              lang);
  AppendCount(first, c.InvalidTargetFolders, T::kInvalidTargetPlural, T::kInvalidTargetSingular,
              lang);

  std::string& second = lines.second;
  second = Tr(T::kFilesPart, lang);
  AppendCount(second, c.FilesCreated, T::kCreatedPlural, T::kCreatedSingular, lang);
  AppendCount(second, c.FilesModified, T::kModifiedPlural, T::kModifiedSingular, lang);
  AppendCount(second, c.FilesRemoved, T::kRemovedPlural, T::kRemovedSingular, lang);
  AppendCount(second, c.FilesLocked, T::kLockedPlural, T::kLockedSingular, lang);
  if (context.sub_folders) {
    second += Tr(T::kFoldersPart, lang);
    AppendCount(second, c.FoldersCreated, T::kFoldersCreatedPlural, T::kFoldersCreatedSingular,
                lang);
    AppendCount(second, c.FoldersRemoved, T::kFoldersRemovedPlural, T::kFoldersRemovedSingular,
                lang);
  }
  if (context.security_shown) {
    second += Tr(T::kSecuritiesPart, lang);
    AppendCount(second, c.SecuritiesCopied, T::kSecuritiesCopiedPlural,
                T::kSecuritiesCopiedSingular, lang);
    AppendCount(second, c.SecuritiesNotCopied, T::kSecuritiesNotCopiedPlural,
                T::kSecuritiesNotCopiedSingular, lang);
  }
  if (context.attributes) {
    second += Tr(T::kAttributesPart, lang);
    second += std::to_string(c.AttributesChanged);
  }
  second += Tr(T::kElapsedTime, lang);
  second += std::to_string(context.elapsed_seconds);
  second += " s";
  return lines;
}

}  // namespace vorn
