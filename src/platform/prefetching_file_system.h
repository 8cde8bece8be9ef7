#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vorn::platform {

/// How far a PrefetchingFileSystem reaches ahead of its caller.
struct PrefetchOptions {
  /// Threads that list and look up ahead; at least 1.
  size_t helpers = 4;
  /// Folders fetched ahead of the caller at most, besides those it holds
  /// open: each keeps a descriptor and its listing until the walk passes it.
  size_t window = 128;
  /// A folder of more entries is left to the caller, so memory stays small
  /// whatever the tree.
  size_t folder_entries = 16384;
};

/// The helpers for the `Helpers` setting, which counts the threads that read
/// the disk for a pass, the pass's own included; none for 1. 0 chooses: as
/// many as there are processors, up to four (measured on two, more threads
/// than processors only took turns with the pass), and sixteen where a root
/// is on a share or a FUSE file system, where every lookup waits on a round
/// trip. The window leaves most of the open-file limit to the rest of the
/// program.
std::optional<PrefetchOptions> PrefetchOptionsFor(int setting,
                                                  const std::vector<std::string>& roots);

/// A FileSystem whose helper threads list folders and look up their entries
/// ahead of a caller that walks a tree depth first (each folder's
/// sub-folders in the order its listing gives them), so that the caller's
/// ReadFolder, LookupAt and OpenFolderAt are answered from what they already
/// fetched instead of waiting on the disk one call at a time.
///
/// Answers are what the inner file system gave the helpers for the same
/// call; a failure is never kept, the caller asks again itself. Every change
/// made through this file system forgets, before and after it is made, what
/// was fetched of the entry it touches, of its folder's listing, of the
/// folder itself in its parent, of everything below it and of the other
/// names of the same file, so the caller never sees an answer older than its
/// own change. Changes made behind its back show as late as on any walk.
///
/// The inner file system must take OpenFolderAt, ReadFolder (reading its
/// readers) and LookupAt from several threads at once, while the caller
/// uses it for anything else. The caller itself uses this one from one
/// thread, and releases every folder it opened before destroying it.
class PrefetchingFileSystem final : public FileSystem {
 public:
  PrefetchingFileSystem(FileSystem& inner, PrefetchOptions options);
  ~PrefetchingFileSystem() override;

  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override;
  Result<std::unique_ptr<Folder>> OpenFolderAt(const Folder& parent,
                                               std::string_view relative) override;
  Result<FolderIdentity> IdentityOf(const Folder& folder) override;
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

  class Ahead;  ///< what the helpers share with the caller's calls

 private:
  FileSystem& inner_;
  std::unique_ptr<Ahead> ahead_;
};

}  // namespace vorn::platform
