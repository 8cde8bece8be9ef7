#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace vorn::platform {

/// Attribute bits the mirroring rules reason with. Windows stores them; the
/// POSIX implementation computes them: directory from the file type, read-only
/// from a clear owner write bit, hidden from a leading dot, system for sockets,
/// FIFOs and device nodes, archive for regular files, normal when no other bit
/// applies, reparse point for a symbolic link (never also a directory).
namespace attribute {
inline constexpr uint32_t kReadOnly = 1;
inline constexpr uint32_t kHidden = 2;
inline constexpr uint32_t kSystem = 4;
inline constexpr uint32_t kDirectory = 16;
inline constexpr uint32_t kArchive = 32;
inline constexpr uint32_t kNormal = 128;
inline constexpr uint32_t kReparsePoint = 1024;
}  // namespace attribute

/// What kind of object a directory entry is. Links are never followed, so a
/// link to a folder is a kLink, not a kFolder.
enum class EntryType : uint8_t { kFile, kFolder, kLink, kOther };

/// One entry as an exact lookup completes it.
struct EntryInfo {
  EntryType type = EntryType::kFile;
  uint32_t attributes = 0;   ///< the bits of `attribute`
  uint32_t permissions = 0;  ///< what copying attributes compares and copies: st_mode & 07777
  uint64_t last_write = 0;   ///< 100-nanosecond intervals since 1601-01-01 UTC
  uint64_t size = 0;         ///< bytes (for a link: the length of its text)
  uint32_t uid = 0;          ///< owner, as the file system keeps it
  uint32_t gid = 0;          ///< group, as the file system keeps it
  uint64_t device = 0;       ///< with `inode`, which file this is: equal for two names of one file
  uint64_t inode = 0;
  uint32_t links = 1;        ///< how many names the file has

  bool IsFolder() const { return type == EntryType::kFolder; }
};

/// One name met while reading a folder, with what the listing itself tells
/// without a lookup.
struct FolderEntry {
  std::string name;
  EntryType type = EntryType::kFile;
  bool hidden = false;  ///< carries the hidden attribute (a dot-name other than "." and "..")
};

/// Which folder an open folder is, and on which file system. Two opens of
/// one folder give equal identities; a folder on a disk that was unplugged
/// and whose empty mount point now stands in its place gives another.
struct FolderIdentity {
  /// The file system: its type and the identity it reports of itself (on
  /// Linux derived from the volume's UUID where it has one), so it stays the
  /// same across a remount of the same disk and differs for any other one.
  std::string volume;
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderIdentity&) const = default;
};

/// Whether an error means "there is no such entry" (the only failure that
/// lets a mirror take an entry for gone), as opposed to one that could not
/// be read, reached or understood.
bool IsAbsentError(const Error& error);

/// The binary form of an entry's access-control list: on Linux the POSIX
/// access ACL and, for a folder, its default ACL. Two equal lists have equal
/// bytes. Empty means the entry has none that can be read.
using SecurityDescriptor = std::vector<uint8_t>;

/// How CopyFileAt goes about one copy.
struct CopyOptions {
  /// Refuse a source that another process holds locked (see IsLockedAt),
  /// tested on the copy's own open so nothing can slip in between; the copy
  /// then fails with an error for which IsLockedError is true.
  bool refuse_locked = false;
  /// False when the target name was just found free: the finished copy is
  /// then given that name directly, with no rename.
  bool target_may_exist = true;
  /// The caller has just seen a regular file under the source name, so it
  /// is opened without a lookup first (anything else still copies right).
  bool source_is_regular = false;
  /// Told the bytes written so far and the file's size between the chunks
  /// of a copy too long for one (never for a copy made in one go), so a
  /// long copy can be shown as it goes.
  std::function<void(uint64_t copied, uint64_t total)> progress;
  /// Give the copy its source's owner and group. Only root can, so for
  /// anyone else it is not tried and the copy belongs to the process.
  bool copy_owner = false;
};

/// Whether a failed copy was refused because the source is locked.
bool IsLockedError(const Error& error);

/// The named streams of Macintosh volumes (the stream NAME of "path:NAME:$DATA").
inline constexpr std::string_view kFinderInfoStream = "AFP_AfpInfo";
inline constexpr std::string_view kResourceForkStream = "AFP_Resource";

/// An open folder. Entries are named relative to it, so a walk never resolves
/// a full path per entry and keeps working where full paths grow too long.
/// A Folder may only be used with the FileSystem that opened it.
class Folder {
 public:
  virtual ~Folder() = default;
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  /// The full path the folder was opened as (for logs and messages).
  const std::string& path() const { return path_; }

 protected:
  explicit Folder(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

/// Reads the entries of one folder, "." and ".." included, in the order the
/// file system returns them.
class FolderReader {
 public:
  virtual ~FolderReader() = default;
  /// Fills `entry` with the next entry; false at the end or when reading
  /// failed (see error()). Reusing one FolderEntry avoids an allocation per name.
  virtual bool Next(FolderEntry& entry) = 0;
  /// The failure that ended the listing early, if any.
  virtual const std::optional<Error>& error() const = 0;
};

/// Everything Vorn asks of the file system. Names passed with a Folder are
/// single entry names (no separator) unless a function says otherwise.
/// No operation follows a symbolic link in its last component: links are
/// looked up, copied, and deleted as links.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Folders and listings.

  /// Opens a folder by its full path (links in the path are followed).
  virtual Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) = 0;
  /// Opens a folder below `parent`; `relative` may hold several names joined by
  /// the separator, and no link is followed in any of them.
  virtual Result<std::unique_ptr<Folder>> OpenFolderAt(const Folder& parent,
                                                       std::string_view relative) = 0;
  /// Which folder an open folder is (see FolderIdentity).
  virtual Result<FolderIdentity> IdentityOf(const Folder& folder) = 0;
  /// Starts reading the entries of an open folder.
  virtual Result<std::unique_ptr<FolderReader>> ReadFolder(const Folder& folder) = 0;

  // Exact lookups.

  /// Looks up one full path.
  virtual Result<EntryInfo> Lookup(const std::string& path) = 0;
  /// Looks up one entry of an open folder.
  virtual Result<EntryInfo> LookupAt(const Folder& folder, std::string_view name) = 0;

  // Changes to entries of an open folder.

  /// Creates a folder with default security (mode 0777 under the umask).
  virtual Status CreateFolderAt(const Folder& folder, std::string_view name) = 0;
  /// Removes a folder; fails unless it is empty.
  virtual Status RemoveFolderAt(const Folder& folder, std::string_view name) = 0;
  /// Deletes a file or link (never a folder).
  virtual Status DeleteFileAt(const Folder& folder, std::string_view name) = 0;
  /// Renames an entry; fails (EEXIST) where the new name is taken, so that
  /// nothing is ever lost under it.
  virtual Status RenameAt(const Folder& from_folder, std::string_view from, const Folder& to_folder,
                          std::string_view to) = 0;
  /// Makes `name` in `folder` one more name of the file at the full path
  /// `existing` (a hard link; both on one file system), in place of any file
  /// `name` held. The old file goes only once the new name stands.
  virtual Status LinkFileAt(const std::string& existing, const Folder& folder,
                            std::string_view name) = 0;
  /// Sets EntryInfo::permissions of an entry (not for links).
  virtual Status SetPermissionsAt(const Folder& folder, std::string_view name,
                                  uint32_t permissions) = 0;
  /// Sets the owner and group of an entry (of a link itself, never its
  /// target). Mind that this clears the set-user-ID and set-group-ID bits of
  /// a file, so permissions are set after it.
  virtual Status SetOwnerAt(const Folder& folder, std::string_view name, uint32_t uid,
                            uint32_t gid) = 0;
  /// Makes an entry replaceable and deletable ("set to normal"): on Linux,
  /// adds the owner write bit when it is missing.
  virtual Status MakeWritableAt(const Folder& folder, std::string_view name) = 0;
  /// Sets EntryInfo::last_write of an entry (of a link itself, never its
  /// target), leaving its access time as it is.
  virtual Status SetTimeAt(const Folder& folder, std::string_view name, uint64_t last_write) = 0;

  /// The coarsest step, in units of EntryInfo::last_write, of the
  /// modification times the file system under `folder` keeps: 1 where it
  /// keeps the unit or finer, 20000000 on FAT's two seconds. Found by giving
  /// a temporary file (named and marked as CopyFileAt's, see IsCopyDebrisAt)
  /// a time and reading it back, so it needs write access to the folder;
  /// the temporary is removed again and the folder keeps its own time.
  virtual Result<uint64_t> ProbeTimeGranularity(const Folder& folder) = 0;

  /// Copies a file (or link, or FIFO) to `target_name` in `target`, replacing
  /// an existing file: content (holes of a sparse file stay holes), permission
  /// bits, last-write time to the nanosecond, every user extended attribute
  /// (the named streams) but the mark of a temporary (see IsCopyDebrisAt),
  /// and with CopyOptions::copy_owner owner and group. The copy is written under a
  /// temporary hidden name and renamed into place only when complete, so a
  /// failure never leaves a truncated file in place of the previous one, and
  /// the temporary is removed on failure.
  virtual Status CopyFileAt(const Folder& source, std::string_view name, const Folder& target,
                            std::string_view target_name, const CopyOptions& options) = 0;

  /// True when another process holds a lock on the file that forbids a shared
  /// read lock. A missing or unreadable file is not locked.
  virtual bool IsLockedAt(const Folder& folder, std::string_view name) = 0;

  /// True for a temporary that an interrupted CopyFileAt or ReplaceFile left
  /// behind: it has the temporary name pattern and carries the mark written
  /// at its creation. A user's file is never debris, whatever its name, and
  /// neither is a temporary that could not be marked (on Linux: links, FIFOs,
  /// device nodes, file systems without user extended attributes).
  virtual bool IsCopyDebrisAt(const Folder& folder, std::string_view name) = 0;

  // Access-control lists.

  /// Reads an entry's access-control list. An empty descriptor means the file
  /// system keeps none for it; an error that it could not be read.
  virtual Result<SecurityDescriptor> ReadSecurityAt(const Folder& folder,
                                                    std::string_view name) = 0;
  /// Writes an access-control list read by ReadSecurityAt.
  virtual Status WriteSecurityAt(const Folder& folder, std::string_view name,
                                 const SecurityDescriptor& descriptor) = 0;

  // Named streams (Macintosh Finder information and resource fork).

  /// Reads at most `max_bytes` of a named stream of an entry.
  virtual Result<std::string> ReadStreamAt(const Folder& folder, std::string_view name,
                                           std::string_view stream, std::size_t max_bytes) = 0;
  /// Copies one named stream of an entry onto another entry.
  virtual Status CopyStreamAt(const Folder& source, std::string_view name, const Folder& target,
                              std::string_view target_name, std::string_view stream) = 0;
  /// Deletes one named stream of an entry.
  virtual Status DeleteStreamAt(const Folder& folder, std::string_view name,
                                std::string_view stream) = 0;

  // Whole files by full path: configuration, pairs, signatures, logs.

  /// Reads a whole file.
  virtual Result<std::string> ReadFile(const std::string& path) = 0;
  /// Replaces a file's content atomically (temporary file, flush, rename), so
  /// a crash leaves either the old or the new content. A read-only file (owner
  /// write bit clear) is refused, as Windows refuses it. Through a link, the
  /// file the link points to is replaced.
  virtual Status ReplaceFile(const std::string& path, std::string_view contents) = 0;
  /// Opens a file for appending (creating it), writes the text, closes it.
  virtual Status AppendToFile(const std::string& path, std::string_view text) = 0;
  /// Deletes a file.
  virtual Status DeleteFile(const std::string& path) = 0;
};

/// Deletes the copy debris (see FileSystem::IsCopyDebrisAt) in a folder.
void DeleteCopyTemporaries(FileSystem& fs, const Folder& folder);

/// The POSIX implementation.
std::unique_ptr<FileSystem> MakePosixFileSystem();

}  // namespace vorn::platform
