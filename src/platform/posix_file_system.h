#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/file_system.h"

namespace vorn::platform {

/// The steps of one CopyFileAt, in the order they run.
enum class CopyStep {
  kOpenSource,
  kCreateTemporary,
  kContent,  ///< once per chunk moved, with the chunk's offset
  kExtendedAttributes,
  kPermissions,
  kTimes,
  kRename,
};

/// Knobs of the POSIX file system; the defaults are what the program uses.
struct PosixFileSystemOptions {
  /// Asked before each copy step; a non-zero errno makes that step fail with
  /// it, so tests can break a copy at any point without a full disk.
  std::function<int(CopyStep step, uint64_t offset)> copy_fault;
  /// Bytes moved by one content call when the file system cannot clone.
  std::size_t copy_chunk_size = std::size_t{8} << 20;
  /// Write copies into an unnamed temporary (O_TMPFILE) where the file system
  /// allows it, so a crash mid-copy leaves nothing behind.
  bool use_unnamed_temporary = true;
};

/// The extended attribute that marks a named temporary as Vorn's own while
/// it exists (see FileSystem::IsCopyDebrisAt); a finished file never keeps it.
inline constexpr char kTemporaryMarkAttribute[] = "user.vorn.temporary";

/// The POSIX implementation with chosen options.
std::unique_ptr<FileSystem> MakePosixFileSystem(PosixFileSystemOptions options);

}  // namespace vorn::platform
