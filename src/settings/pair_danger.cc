#include "settings/pair_danger.h"

#include "platform/path_identity.h"
#include "settings/settings_texts.h"

namespace vorn {
namespace {

using platform::FolderRelation;

// Whether `target` is `own` or holds it.
bool Holds(const std::string& target, const std::string& own) {
  if (own.empty()) return false;
  const FolderRelation relation = platform::RelateFolders(own, target);
  return relation == FolderRelation::kSame || relation == FolderRelation::kFirstInside;
}

}  // namespace

PairDanger DangerOf(const std::string& source, const std::string& target,
                    const std::string& application_folder, const std::string& log_folder) {
  if (source.empty() || target.empty()) return PairDanger::kNone;
  // The root holds every source; saying "root" tells the user more.
  if (platform::RelateFolders(target, "/") == FolderRelation::kSame) {
    return PairDanger::kTargetIsRoot;
  }
  switch (platform::RelateFolders(source, target)) {
    case FolderRelation::kSame:
      return PairDanger::kSameFolder;
    case FolderRelation::kFirstInside:
      return PairDanger::kSourceInsideTarget;
    case FolderRelation::kSecondInside:
      return PairDanger::kTargetInsideSource;
    case FolderRelation::kUnrelated:
      break;
  }
  if (Holds(target, application_folder) || Holds(target, log_folder)) {
    return PairDanger::kTargetHoldsOwnFiles;
  }
  return PairDanger::kNone;
}

std::string RefusalMessage(PairDanger danger, const std::string& source, const std::string& target,
                           int16_t language) {
  SettingsText why = SettingsText::kRefusedSameFolder;
  switch (danger) {
    case PairDanger::kNone:
    case PairDanger::kSameFolder:
      break;
    case PairDanger::kSourceInsideTarget:
      why = SettingsText::kRefusedSourceInsideTarget;
      break;
    case PairDanger::kTargetInsideSource:
      why = SettingsText::kRefusedTargetInsideSource;
      break;
    case PairDanger::kTargetIsRoot:
      why = SettingsText::kRefusedTargetIsRoot;
      break;
    case PairDanger::kTargetHoldsOwnFiles:
      why = SettingsText::kRefusedTargetHoldsOwnFiles;
      break;
  }
  return std::string(Tr(why, language)) + "\r\n" + source + " -> " + target;
}

}  // namespace vorn
