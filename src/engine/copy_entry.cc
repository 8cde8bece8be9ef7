// CopyEntry and the security copies: one file from a source folder to a
// target folder, under a possibly different name.

#include <cerrno>

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
  return outcome == CopyOutcome::kCopied;
}

void MirrorEngine::RemoveCopiedSource(const SourceFile& file) {
  const std::string path = platform::JoinPath(file.source->path(), file.name);
  if (const platform::Status deleted = env_.fs.DeleteFileAt(*file.source, file.name); !deleted) {
    // Both stay; the next pass finds the copy up to date and tries again.
    ReportFailure(PassEntry::kFile, path, deleted.error());
    return;
  }
  ++counters_.FilesRemoved;
  Report(PassEventKind::kRemoved, PassEntry::kFile, path);
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
  // receives the source's list. A failed copy is the one failure counted.
  if (env_.settings.CopierSecurite) {
    const auto failed = CopySecurity(*file.source, file.name, file.target, file.target_name);
    if (failed && outcome == CopyOutcome::kCopied) {
      ReportFailure(PassEntry::kFile, file.target_path, *failed);
    }
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
  // Where the target file system refuses the link (FAT, a share, a file of
  // too many names) or the other name went meanwhile, a copy does as well.
  if (file.link_to != nullptr && env_.fs.LinkFileAt(*file.link_to, *file.target, to_name).ok()) {
    return CopyOutcome::kCopied;
  }
  // The lock test is made on the copy's own open of the source: a file
  // another program holds is counted and listed, and neither copied nor
  // (in move mode) deleted.
  platform::CopyOptions options;
  options.refuse_locked = true;
  options.source_is_regular = file.listed == ListedAs::kRegularFile;
  options.target_may_exist = target_name == TargetName::kTaken;
  options.copy_owner = env_.settings.CopierProprietaire;
  const std::string source_path = platform::JoinPath(file.source->path(), file.name);
  // Between the chunks of a long copy: what it has done so far, and a
  // yield so that the display can show it and signals are read.
  options.progress = [this, &source_path](uint64_t copied, uint64_t total) {
    copy_in_progress_ = CopyInProgress{source_path, copied, total};
    env_.control.Yield();
  };
  const platform::Status status =
      env_.fs.CopyFileAt(*file.source, file.name, *file.target, to_name, options);
  copy_in_progress_.reset();
  if (!status.ok() && platform::IsLockedError(status.error())) {
    ++counters_.FilesLocked;
    locked_temp_.push_back(source_path);
    Report(PassEventKind::kLocked, PassEntry::kFile, source_path);
    return CopyOutcome::kLocked;
  }
  if (!status.ok()) {
    ReportFailure(PassEntry::kFile, file.target_path, status.error());
    return CopyOutcome::kFailed;
  }
  return CopyOutcome::kCopied;
}

namespace {

// A target file system that keeps no access lists cannot be given one; that
// is counted as not copied, and is no failure to report on every pass.
bool RefusedForGood(const platform::Error& error) {
  return error.code == EOPNOTSUPP || error.code == ENOTSUP;
}

}  // namespace

MirrorEngine::SecurityResult MirrorEngine::CompareSecurity(const Folder& source,
                                                           std::string_view name,
                                                           const Folder& target,
                                                           std::string_view target_name,
                                                           PassEntry entry,
                                                           const std::string& target_path) {
  const auto from = env_.fs.ReadSecurityAt(source, name);
  const auto to = env_.fs.ReadSecurityAt(target, target_name);
  if (!from.ok() || !to.ok() || from->empty() || to->empty()) {
    ++counters_.SecuritiesNotCopied;
    return SecurityResult::kNotCopied;
  }
  if (*from == *to) return SecurityResult::kUnchanged;
  if (const platform::Status written = env_.fs.WriteSecurityAt(target, target_name, *from);
      !written) {
    ++counters_.SecuritiesNotCopied;
    if (!RefusedForGood(written.error())) ReportFailure(entry, target_path, written.error());
    return SecurityResult::kNotCopied;
  }
  ++counters_.SecuritiesCopied;
  Report(PassEventKind::kSecurityChanged, entry, target_path);
  return SecurityResult::kCopied;
}

std::optional<platform::Error> MirrorEngine::CopySecurity(const Folder& source,
                                                          std::string_view name,
                                                          const Folder* target,
                                                          std::string_view target_name) {
  const auto from = env_.fs.ReadSecurityAt(source, name);
  if (!from.ok() || from->empty() || target == nullptr) {
    ++counters_.SecuritiesNotCopied;
    return std::nullopt;
  }
  const platform::Status written = env_.fs.WriteSecurityAt(*target, target_name, *from);
  if (!written) {
    ++counters_.SecuritiesNotCopied;
    if (RefusedForGood(written.error())) return std::nullopt;
    return written.error();
  }
  ++counters_.SecuritiesCopied;
  return std::nullopt;
}

}  // namespace vorn
