// CopyEntry and the security copies: one file from a source folder to a
// target folder, under a possibly different name.

#include "engine/macintosh.h"
#include "engine/mirror_engine.h"
#include "platform/path.h"

namespace vorn {

using platform::Folder;

bool MirrorEngine::CopyEntry(const SourceFile& file, TargetName target_name) {
  const std::string& name = file.name;
  if (file.source == nullptr || name.empty() || name == "." || name == "..") return false;
  CopyOutcome outcome;
  if (env_.system.nt) {
    outcome = CopyWithStreamsAndSecurity(file, target_name);
  } else if (env_.settings.CopieSecurisee) {
    outcome = CopyThroughBangName(file);
  } else {
    outcome = CopyToTarget(file, file.target_name, target_name);
  }
  if (outcome != CopyOutcome::kCopied) return false;
  if (context_.Deplacer && env_.fs.DeleteFileAt(*file.source, name).ok()) {
    ++counters_.FilesRemoved;
  }
  return true;
}

MirrorEngine::CopyOutcome MirrorEngine::CopyWithStreamsAndSecurity(const SourceFile& file,
                                                                   TargetName target_name) {
  const CopyOutcome outcome = CopyToTarget(file, file.target_name, target_name);
  if (outcome == CopyOutcome::kLocked) return outcome;
  if (outcome == CopyOutcome::kCopied && !env_.system.CopyCarriesStreams()) {
    CopyMacStreams(env_.fs, *file.source, file.name, *file.target, file.target_name,
                   context_.Deplacer ? SourceStreams::kDeleteAfterCopy : SourceStreams::kKeep);
  }
  // Runs whether or not the copy succeeded: an existing target still
  // receives the source's list.
  if (env_.settings.CopierSecurite) {
    CopySecurity(*file.source, file.name, file.target, file.target_name);
  }
  return outcome;
}

MirrorEngine::CopyOutcome MirrorEngine::CopyThroughBangName(const SourceFile& file) {
  // The secure copy of the ANSI family: a complete "!" copy first, then it
  // takes the target's place. Only the temporary copy decides the result.
  const std::string temporary = "!" + file.target_name;
  const CopyOutcome outcome = CopyToTarget(file, temporary, TargetName::kTaken);
  if (outcome == CopyOutcome::kCopied) {
    (void)env_.fs.DeleteFileAt(*file.target, file.target_name);
    (void)env_.fs.RenameAt(*file.target, temporary, *file.target, file.target_name);
  }
  return outcome;
}

MirrorEngine::CopyOutcome MirrorEngine::CopyToTarget(const SourceFile& file,
                                                     const std::string& to_name,
                                                     TargetName target_name) {
  if (file.target == nullptr) return CopyOutcome::kFailed;
  // The lock test is made on the copy's own open of the source: a file
  // another program holds is counted and listed, and neither copied nor
  // (in move mode) deleted.
  platform::CopyOptions options;
  options.refuse_locked = true;
  options.source_is_regular = file.listed == ListedAs::kRegularFile;
  options.target_may_exist = target_name == TargetName::kTaken;
  const platform::Status status =
      env_.fs.CopyFileAt(*file.source, file.name, *file.target, to_name, options);
  if (!status.ok() && platform::IsLockedError(status.error())) {
    ++counters_.FilesLocked;
    locked_temp_.push_back(platform::JoinPath(file.source->path(), file.name));
    return CopyOutcome::kLocked;
  }
  return status.ok() ? CopyOutcome::kCopied : CopyOutcome::kFailed;
}

MirrorEngine::SecurityResult MirrorEngine::CompareSecurity(const Folder& source,
                                                           std::string_view name,
                                                           const Folder& target,
                                                           std::string_view target_name) {
  const auto from = env_.fs.ReadSecurityAt(source, name);
  const auto to = env_.fs.ReadSecurityAt(target, target_name);
  if (!from.ok() || !to.ok() || from->empty() || to->empty()) {
    ++counters_.SecuritiesNotCopied;
    return SecurityResult::kNotCopied;
  }
  if (*from == *to) return SecurityResult::kUnchanged;
  if (!env_.fs.WriteSecurityAt(target, target_name, *from).ok()) {
    ++counters_.SecuritiesNotCopied;
    return SecurityResult::kNotCopied;
  }
  ++counters_.SecuritiesCopied;
  return SecurityResult::kCopied;
}

void MirrorEngine::CopySecurity(const Folder& source, std::string_view name, const Folder* target,
                                std::string_view target_name) {
  const auto from = env_.fs.ReadSecurityAt(source, name);
  if (from.ok() && !from->empty() && target != nullptr &&
      env_.fs.WriteSecurityAt(*target, target_name, *from).ok()) {
    ++counters_.SecuritiesCopied;
  } else {
    ++counters_.SecuritiesNotCopied;
  }
}

}  // namespace vorn
