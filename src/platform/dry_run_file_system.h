#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vorn::platform {

/// A FileSystem for a run that must change nothing. It reads through
/// another one and keeps every change to itself, then answers as if the
/// change had been made: a folder it "created" opens empty and takes
/// entries, a "deleted" entry is gone from lookups and listings, a "copied"
/// file is there with its source's type, size, time and permissions, and a
/// whole file "written" reads back as written. So a pass run over it goes on
/// deciding exactly as it would over the real disk.
///
/// It also foresees the refusals the disk would give from what can be asked
/// without changing anything: a source the process may not read, a folder
/// it may not write in, an entry whose owner it is not. What cannot be asked
/// (a full disk, an I/O error) it cannot foresee.
class DryRunFileSystem final : public FileSystem {
 public:
  explicit DryRunFileSystem(FileSystem& real);
  ~DryRunFileSystem() override;

  /// How many entries and files the run changed in its own view.
  std::size_t changed_entries() const { return nodes_.size(); }

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

 private:
  /// One path this run changed.
  struct Node {
    bool present = true;
    /// The real disk holds an entry under this path, so real listings name it.
    bool on_disk = false;
    /// The entry is this run's own (a copy, a new folder, a written file),
    /// not a real one with a changed property; a folder of this run holds
    /// only the nodes below it.
    bool made = false;
    EntryInfo info;
    std::optional<SecurityDescriptor> security;
    std::optional<std::string> contents;
  };
  /// What this run's changes say of a path: its node, or that nothing is
  /// there (with the errno a lookup would give), or neither: the disk decides.
  struct Seen {
    const Node* node = nullptr;
    int gone = 0;
  };
  class Reader;

  Seen See(const std::string& path) const;
  /// The node of a path, made with what the view shows there now.
  Node& Touch(const std::string& path);
  /// Puts an entry of this run's own at `path`, named `name`, with the
  /// given entry's properties (a copy, a link, a renamed entry).
  Node& Place(const std::string& path, const EntryInfo& info, std::string_view name);
  /// The errno the disk would refuse an access to `path` with, or 0.
  int Forecast(const std::string& path, int mode) const;
  int ForecastOwner(const Folder& folder, const std::string& path) const;
  Result<std::unique_ptr<Folder>> Wrap(Result<std::unique_ptr<Folder>> opened);
  /// Opening `folder` as this run's changes have it, or nothing when the
  /// disk decides.
  std::optional<Result<std::unique_ptr<Folder>>> OpenAsSeen(const std::string& folder) const;

  FileSystem& real_;
  uint32_t umask_ = 022;
  std::map<std::string, Node, std::less<>> nodes_;
};

}  // namespace vorn::platform
