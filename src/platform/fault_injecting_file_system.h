#pragma once

#include <array>
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace vorn::platform {

/// The operations of FileSystem, for choosing which one fails.
enum class FsOperation {
  kOpenFolder,
  kOpenFolderAt,
  kReadFolder,
  kLookup,
  kLookupAt,
  kCreateFolderAt,
  kRemoveFolderAt,
  kDeleteFileAt,
  kRenameAt,
  kLinkFileAt,
  kSetPermissionsAt,
  kSetOwnerAt,
  kMakeWritableAt,
  kSetTimeAt,
  kProbeTimeGranularity,
  kCopyFileAt,
  kReadSecurityAt,
  kWriteSecurityAt,
  kReadStreamAt,
  kCopyStreamAt,
  kDeleteStreamAt,
  kReadFile,
  kReplaceFile,
  kAppendToFile,
  kDeleteFile,
  kCount,
};

/// A FileSystem that forwards to another and fails chosen calls, for tests of
/// what the program keeps, counts and logs when the disk, the network or
/// another program gets in the way.
class FaultInjectingFileSystem final : public FileSystem {
 public:
  explicit FaultInjectingFileSystem(FileSystem& inner) : inner_(inner) {}

  /// The nth call of `operation` from now on (1 = the next one) fails with errno `code`.
  void FailNth(FsOperation operation, int n, int code);
  /// Every call of `operation` about an entry named `name` fails with `code`;
  /// a `name` with a separator is matched against the entry's full path.
  void FailFor(FsOperation operation, std::string name, int code);
  /// Entries named `name` stay in listings but every other operation on them
  /// answers ENOENT, as if they vanished between the listing and the lookup.
  void MakeVanish(std::string name);
  /// IsLockedAt answers true for entries named `name`.
  void MarkLocked(std::string name);
  /// How many calls of `operation` were made so far.
  int Calls(FsOperation operation) const { return calls_[static_cast<size_t>(operation)]; }

  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override;
  Result<std::unique_ptr<Folder>> OpenFolderAt(const Folder& parent,
                                               std::string_view relative) override;
  Result<FolderIdentity> IdentityOf(const Folder& folder) override {
    return inner_.IdentityOf(folder);
  }
  Result<std::unique_ptr<FolderReader>> ReadFolder(const Folder& folder) override;
  Result<EntryInfo> Lookup(const std::string& path) override;
  Result<EntryInfo> LookupAt(const Folder& folder, std::string_view name) override;
  Status CreateFolderAt(const Folder& folder, std::string_view name) override;
  Status RemoveFolderAt(const Folder& folder, std::string_view name) override;
  Status DeleteFileAt(const Folder& folder, std::string_view name) override;
  Status RenameAt(const Folder& from_folder, std::string_view from, const Folder& to_folder,
                  std::string_view to) override;
  Status LinkFileAt(const std::string& existing, const Folder& folder,
                    std::string_view name) override;
  Status SetPermissionsAt(const Folder& folder, std::string_view name,
                          uint32_t permissions) override;
  Status SetOwnerAt(const Folder& folder, std::string_view name, uint32_t uid,
                    uint32_t gid) override;
  Status MakeWritableAt(const Folder& folder, std::string_view name) override;
  Status SetTimeAt(const Folder& folder, std::string_view name, uint64_t last_write) override;
  Result<uint64_t> ProbeTimeGranularity(const Folder& folder) override;
  Status CopyFileAt(const Folder& source, std::string_view name, const Folder& target,
                    std::string_view target_name, const CopyOptions& options) override;
  bool IsLockedAt(const Folder& folder, std::string_view name) override;
  bool IsCopyDebrisAt(const Folder& folder, std::string_view name) override;
  Result<SecurityDescriptor> ReadSecurityAt(const Folder& folder, std::string_view name) override;
  Status WriteSecurityAt(const Folder& folder, std::string_view name,
                         const SecurityDescriptor& descriptor) override;
  Result<std::string> ReadStreamAt(const Folder& folder, std::string_view name,
                                   std::string_view stream, std::size_t max_bytes) override;
  Status CopyStreamAt(const Folder& source, std::string_view name, const Folder& target,
                      std::string_view target_name, std::string_view stream) override;
  Status DeleteStreamAt(const Folder& folder, std::string_view name,
                        std::string_view stream) override;
  Result<std::string> ReadFile(const std::string& path) override;
  Status ReplaceFile(const std::string& path, std::string_view contents) override;
  Status AppendToFile(const std::string& path, std::string_view text) override;
  Status DeleteFile(const std::string& path) override;

 private:
  /// Counts the call and answers the error it must fail with, if any.
  std::optional<Error> Check(FsOperation operation, std::string_view path_or_name,
                             std::string_view folder = {});

  FileSystem& inner_;
  std::array<int, static_cast<size_t>(FsOperation::kCount)> calls_{};
  std::map<std::pair<FsOperation, int>, int> nth_failures_;  // (operation, call number) -> errno
  std::map<std::pair<FsOperation, std::string>, int> name_failures_;
  std::set<std::string, std::less<>> vanished_;
  std::set<std::string, std::less<>> locked_;
};

}  // namespace vorn::platform
