#include "platform/fault_injecting_file_system.h"

#include <cerrno>

#include "platform/path.h"

namespace vorn::platform {

void FaultInjectingFileSystem::FailNth(FsOperation operation, int n, int code) {
  nth_failures_[{operation, Calls(operation) + n}] = code;
}

void FaultInjectingFileSystem::FailFor(FsOperation operation, std::string name, int code) {
  name_failures_[{operation, std::move(name)}] = code;
}

void FaultInjectingFileSystem::MakeVanish(std::string name) {
  vanished_.insert(std::move(name));
}

void FaultInjectingFileSystem::MarkLocked(std::string name) {
  locked_.insert(std::move(name));
}

std::optional<Error> FaultInjectingFileSystem::Check(FsOperation operation,
                                                     std::string_view path_or_name,
                                                     std::string_view folder) {
  const int call = ++calls_[static_cast<size_t>(operation)];
  const std::string path = JoinPath(folder, path_or_name);
  const std::string name(BaseName(WithoutTrailingSeparator(path)));
  if (auto it = nth_failures_.find({operation, call}); it != nth_failures_.end()) {
    return MakeError(it->second, "injected", path);
  }
  for (const std::string& key : {name, path}) {
    if (auto it = name_failures_.find({operation, key}); it != name_failures_.end()) {
      return MakeError(it->second, "injected", path);
    }
  }
  if (vanished_.count(name) != 0) return MakeError(ENOENT, "injected", path);
  return std::nullopt;
}

Result<std::unique_ptr<Folder>> FaultInjectingFileSystem::OpenFolder(const std::string& path) {
  if (auto error = Check(FsOperation::kOpenFolder, path)) return *error;
  return inner_.OpenFolder(path);
}

Result<std::unique_ptr<Folder>> FaultInjectingFileSystem::OpenFolderAt(const Folder& parent,
                                                                       std::string_view relative) {
  if (auto error = Check(FsOperation::kOpenFolderAt, relative, parent.path())) return *error;
  return inner_.OpenFolderAt(parent, relative);
}

Result<std::unique_ptr<FolderReader>> FaultInjectingFileSystem::ReadFolder(const Folder& folder) {
  if (auto error = Check(FsOperation::kReadFolder, folder.path())) return *error;
  return inner_.ReadFolder(folder);
}

Result<EntryInfo> FaultInjectingFileSystem::Lookup(const std::string& path) {
  if (auto error = Check(FsOperation::kLookup, path)) return *error;
  return inner_.Lookup(path);
}

Result<EntryInfo> FaultInjectingFileSystem::LookupAt(const Folder& folder, std::string_view name) {
  if (auto error = Check(FsOperation::kLookupAt, name, folder.path())) return *error;
  return inner_.LookupAt(folder, name);
}

Status FaultInjectingFileSystem::CreateFolderAt(const Folder& folder, std::string_view name) {
  if (auto error = Check(FsOperation::kCreateFolderAt, name, folder.path())) return *error;
  return inner_.CreateFolderAt(folder, name);
}

Status FaultInjectingFileSystem::RemoveFolderAt(const Folder& folder, std::string_view name) {
  if (auto error = Check(FsOperation::kRemoveFolderAt, name, folder.path())) return *error;
  return inner_.RemoveFolderAt(folder, name);
}

Status FaultInjectingFileSystem::DeleteFileAt(const Folder& folder, std::string_view name) {
  if (auto error = Check(FsOperation::kDeleteFileAt, name, folder.path())) return *error;
  return inner_.DeleteFileAt(folder, name);
}

Status FaultInjectingFileSystem::RenameAt(const Folder& from_folder, std::string_view from,
                                          const Folder& to_folder, std::string_view to) {
  if (auto error = Check(FsOperation::kRenameAt, from, from_folder.path())) return *error;
  return inner_.RenameAt(from_folder, from, to_folder, to);
}

Status FaultInjectingFileSystem::SetPermissionsAt(const Folder& folder, std::string_view name,
                                                  uint32_t permissions) {
  if (auto error = Check(FsOperation::kSetPermissionsAt, name, folder.path())) return *error;
  return inner_.SetPermissionsAt(folder, name, permissions);
}

Status FaultInjectingFileSystem::SetOwnerAt(const Folder& folder, std::string_view name,
                                            uint32_t uid, uint32_t gid) {
  if (auto error = Check(FsOperation::kSetOwnerAt, name, folder.path())) return *error;
  return inner_.SetOwnerAt(folder, name, uid, gid);
}

Status FaultInjectingFileSystem::MakeWritableAt(const Folder& folder, std::string_view name) {
  if (auto error = Check(FsOperation::kMakeWritableAt, name, folder.path())) return *error;
  return inner_.MakeWritableAt(folder, name);
}

Status FaultInjectingFileSystem::LinkFileAt(const std::string& existing, const Folder& folder,
                                            std::string_view name) {
  if (auto error = Check(FsOperation::kLinkFileAt, name, folder.path())) return *error;
  return inner_.LinkFileAt(existing, folder, name);
}

Status FaultInjectingFileSystem::SetTimeAt(const Folder& folder, std::string_view name,
                                           uint64_t last_write) {
  if (auto error = Check(FsOperation::kSetTimeAt, name, folder.path())) return *error;
  return inner_.SetTimeAt(folder, name, last_write);
}

Result<uint64_t> FaultInjectingFileSystem::ProbeTimeGranularity(const Folder& folder) {
  if (auto error = Check(FsOperation::kProbeTimeGranularity, folder.path())) return *error;
  return inner_.ProbeTimeGranularity(folder);
}

Status FaultInjectingFileSystem::CopyFileAt(const Folder& source, std::string_view name,
                                            const Folder& target, std::string_view target_name,
                                            const CopyOptions& options) {
  if (auto error = Check(FsOperation::kCopyFileAt, name, source.path())) return *error;
  if (options.refuse_locked && locked_.count(name) != 0) {
    return MakeError(EWOULDBLOCK, "locked", JoinPath(source.path(), name));
  }
  return inner_.CopyFileAt(source, name, target, target_name, options);
}

bool FaultInjectingFileSystem::IsLockedAt(const Folder& folder, std::string_view name) {
  if (locked_.count(name) != 0) return true;
  return inner_.IsLockedAt(folder, name);
}

bool FaultInjectingFileSystem::IsCopyDebrisAt(const Folder& folder, std::string_view name) {
  // A vanished entry is no debris to delete: the question itself never fails.
  if (vanished_.count(name) != 0) return false;
  return inner_.IsCopyDebrisAt(folder, name);
}

Result<SecurityDescriptor> FaultInjectingFileSystem::ReadSecurityAt(const Folder& folder,
                                                                    std::string_view name) {
  if (auto error = Check(FsOperation::kReadSecurityAt, name, folder.path())) return *error;
  return inner_.ReadSecurityAt(folder, name);
}

Status FaultInjectingFileSystem::WriteSecurityAt(const Folder& folder, std::string_view name,
                                                 const SecurityDescriptor& descriptor) {
  if (auto error = Check(FsOperation::kWriteSecurityAt, name, folder.path())) return *error;
  return inner_.WriteSecurityAt(folder, name, descriptor);
}

Result<std::string> FaultInjectingFileSystem::ReadStreamAt(const Folder& folder,
                                                           std::string_view name,
                                                           std::string_view stream,
                                                           std::size_t max_bytes) {
  if (auto error = Check(FsOperation::kReadStreamAt, name, folder.path())) return *error;
  return inner_.ReadStreamAt(folder, name, stream, max_bytes);
}

Status FaultInjectingFileSystem::CopyStreamAt(const Folder& source, std::string_view name,
                                              const Folder& target, std::string_view target_name,
                                              std::string_view stream) {
  if (auto error = Check(FsOperation::kCopyStreamAt, name, source.path())) return *error;
  return inner_.CopyStreamAt(source, name, target, target_name, stream);
}

Status FaultInjectingFileSystem::DeleteStreamAt(const Folder& folder, std::string_view name,
                                                std::string_view stream) {
  if (auto error = Check(FsOperation::kDeleteStreamAt, name, folder.path())) return *error;
  return inner_.DeleteStreamAt(folder, name, stream);
}

Result<std::string> FaultInjectingFileSystem::ReadFile(const std::string& path) {
  if (auto error = Check(FsOperation::kReadFile, path)) return *error;
  return inner_.ReadFile(path);
}

Status FaultInjectingFileSystem::ReplaceFile(const std::string& path, std::string_view contents) {
  if (auto error = Check(FsOperation::kReplaceFile, path)) return *error;
  return inner_.ReplaceFile(path, contents);
}

Status FaultInjectingFileSystem::AppendToFile(const std::string& path, std::string_view text) {
  if (auto error = Check(FsOperation::kAppendToFile, path)) return *error;
  return inner_.AppendToFile(path, text);
}

Status FaultInjectingFileSystem::DeleteFile(const std::string& path) {
  if (auto error = Check(FsOperation::kDeleteFile, path)) return *error;
  return inner_.DeleteFile(path);
}

}  // namespace vorn::platform
