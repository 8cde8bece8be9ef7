// CopyEntry and the security copies: one file from a source folder to a
// target folder, under a possibly different name.

#include "engine/macintosh.h"
#include "engine/mirror_engine.h"
#include "platform/path.h"

namespace vorn {

using platform::Folder;

bool MirrorEngine::CopyEntry(const Folder* source, const std::string& name, const Folder* target,
                             const std::string& target_name, bool target_exists, bool regular) {
  if (source == nullptr || name.empty() || name == "." || name == "..") return false;
  platform::FileSystem& fs = env_.fs;
  const MirrorSettings& settings = env_.settings;

  // The lock test is made on the copy's own open of the source: a file
  // another program holds is counted and listed, and neither copied nor
  // (in move mode) deleted.
  platform::CopyOptions options;
  options.refuse_locked = true;
  options.source_is_regular = regular;
  bool locked = false;
  const auto copy = [&](const std::string& to_name, bool may_exist) {
    if (target == nullptr) return false;
    options.target_may_exist = may_exist;
    const platform::Status status = fs.CopyFileAt(*source, name, *target, to_name, options);
    if (!status.ok() && platform::IsLockedError(status.error())) {
      ++counters_.FilesLocked;
      locked_temp_.push_back(platform::JoinPath(source->path(), name));
      locked = true;
    }
    return status.ok();
  };

  bool copied;
  if (env_.system.nt) {
    copied = copy(target_name, target_exists);
    if (locked) return false;
    if (copied && !env_.system.CopyCarriesStreams()) {
      CopyMacStreams(fs, *source, name, *target, target_name, context_.Deplacer);
    }
    // Runs whether or not the copy succeeded: an existing target still
    // receives the source's list.
    if (settings.CopierSecurite) CopySecurity(*source, name, target, target_name);
  } else if (settings.CopieSecurisee) {
    // The secure copy of the ANSI family: a complete "!" copy first, then it
    // takes the target's place. Only the temporary copy decides the result.
    const std::string temporary = "!" + target_name;
    copied = copy(temporary, true);
    if (copied) {
      (void)fs.DeleteFileAt(*target, target_name);
      (void)fs.RenameAt(*target, temporary, *target, target_name);
    }
  } else {
    copied = copy(target_name, target_exists);
  }
  if (locked) return false;

  if (context_.Deplacer && copied && fs.DeleteFileAt(*source, name).ok()) {
    ++counters_.FilesRemoved;
  }
  return copied;
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
