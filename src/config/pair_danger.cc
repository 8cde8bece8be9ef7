#include "config/pair_danger.h"

#include "platform/path_identity.h"
#include "config/settings_texts.h"

namespace vorn {
namespace {

using platform::FolderRelation;

}  // namespace

PairDanger DangerOf(const std::string& source, const std::string& target,
                    const std::string& application_folder, const std::string& log_folder) {
  return DangerOf(platform::FolderRelations(), source, target, application_folder, log_folder);
}

PairDanger DangerOf(const platform::FolderRelations& relations, const std::string& source,
                    const std::string& target, const std::string& application_folder,
                    const std::string& log_folder) {
  if (source.empty() || target.empty()) return PairDanger::kNone;
  // Whether `target` is `own` or holds it.
  const auto holds = [&](const std::string& own) {
    if (own.empty()) return false;
    const FolderRelation relation = relations.Relate(own, target);
    return relation == FolderRelation::kSame || relation == FolderRelation::kFirstInside;
  };
  // The root holds every source; saying "root" tells the user more.
  if (relations.Relate(target, "/") == FolderRelation::kSame) return PairDanger::kTargetIsRoot;
  switch (relations.Relate(source, target)) {
    case FolderRelation::kSame:
      return PairDanger::kSameFolder;
    case FolderRelation::kFirstInside:
      return PairDanger::kSourceInsideTarget;
    case FolderRelation::kSecondInside:
      return PairDanger::kTargetInsideSource;
    case FolderRelation::kUnrelated:
      break;
  }
  if (holds(application_folder) || holds(log_folder)) {
    return PairDanger::kTargetHoldsOwnFiles;
  }
  return PairDanger::kNone;
}

std::string RefusalMessage(PairDanger danger, const std::string& source, const std::string& target,
                           Language language) {
  // In the order of PairDanger; kNone never refuses anything.
  static constexpr SettingsText kWhy[] = {
      SettingsText::kRefusedSameFolder,         SettingsText::kRefusedSameFolder,
      SettingsText::kRefusedSourceInsideTarget, SettingsText::kRefusedTargetInsideSource,
      SettingsText::kRefusedTargetIsRoot,       SettingsText::kRefusedTargetHoldsOwnFiles,
  };
  return std::string(Tr(kWhy[static_cast<size_t>(danger)], language)) + "\r\n" + source +
         " -> " + target;
}

}  // namespace vorn
