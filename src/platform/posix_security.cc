// Access-control lists (libacl) and named streams (user extended attributes)
// of the POSIX file system.

#include <acl/libacl.h>
#include <fcntl.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

#include "platform/posix_internal.h"

namespace vorn::platform::posix {
namespace {

// An ACL read from the system, freed on scope exit.
class AclHandle {
 public:
  explicit AclHandle(acl_t acl) : acl_(acl) {}
  AclHandle(const AclHandle&) = delete;
  AclHandle& operator=(const AclHandle&) = delete;
  ~AclHandle() {
    if (acl_ != nullptr) acl_free(acl_);
  }
  acl_t get() const { return acl_; }

 private:
  acl_t acl_;
};

// Appends the external (portable binary) form of an ACL.
bool AppendExternal(acl_t acl, SecurityDescriptor& out) {
  const ssize_t size = acl_size(acl);
  if (size < 0) return false;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(size));
  return acl_copy_ext(out.data() + start, acl, size) >= 0;
}

void AppendSize(uint32_t size, SecurityDescriptor& out) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
}

// A Samba share keeps a Macintosh stream NAME in the attribute
// "user.DosStream.NAME:$DATA".
std::string StreamAttributeName(std::string_view stream) {
  std::string name = "user.DosStream.";
  name.append(stream);
  name += ":$DATA";
  return name;
}

// One entry itself, never what a link standing in its place points to:
// libacl and the extended-attribute calls take only paths, so they are
// given the /proc path of this descriptor, which the kernel resolves to the
// inode opened here however the name is swapped meanwhile.
struct OpenedEntry {
  UniqueFd fd;
  struct stat st;
  std::string path;
  bool IsLink() const { return S_ISLNK(st.st_mode); }
};

Result<OpenedEntry> OpenEntry(const Folder& folder, std::string_view name, const char* operation) {
  const CName c_name(name);
  OpenedEntry entry;
  entry.fd.Reset(RetryOnInterrupt(
      [&] { return ::openat(FdOf(folder), c_name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC); }));
  if (!entry.fd.valid() || ::fstat(entry.fd.get(), &entry.st) != 0) {
    return ErrnoError(errno, operation, folder, name);
  }
  entry.path = ProcPath(entry.fd.get(), "");
  return entry;
}

Result<std::string> GetAttribute(const OpenedEntry& entry, const std::string& attribute,
                                 const Folder& folder, std::string_view name) {
  // A link carries no user attributes, and following it would read another file's.
  if (entry.IsLink()) return ErrnoError(ENODATA, "read stream", folder, name);
  const std::string& path = entry.path;
  std::string value;
  for (;;) {
    ssize_t size = ::getxattr(path.c_str(), attribute.c_str(), nullptr, 0);
    if (size < 0) return ErrnoError(errno, "read stream", folder, name);
    value.resize(static_cast<size_t>(size));
    size = ::getxattr(path.c_str(), attribute.c_str(), value.data(), value.size());
    if (size >= 0) {
      value.resize(static_cast<size_t>(size));
      return value;
    }
    if (errno != ERANGE) return ErrnoError(errno, "read stream", folder, name);
  }
}

}  // namespace

// The descriptor is: the size of the access ACL's external form as 4 bytes
// (least significant first), that form, then, for a folder, the external
// form of its default ACL. Equal ACLs give equal bytes.
Result<SecurityDescriptor> PosixFileSystem::ReadSecurityAt(const Folder& folder,
                                                           std::string_view name) {
  auto entry = OpenEntry(folder, name, "read security");
  if (!entry.ok()) return entry.error();
  if (entry->IsLink()) return SecurityDescriptor{};  // links carry no ACL of their own
  const std::string& path = entry->path;
  // libacl makes up an ACL from the mode bits where the file system has none;
  // report "none" there, as a size query answers 0 elsewhere.
  if (::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) < 0 &&
      (errno == ENOTSUP || errno == EOPNOTSUPP)) {
    return SecurityDescriptor{};
  }
  AclHandle access(acl_get_file(path.c_str(), ACL_TYPE_ACCESS));
  if (access.get() == nullptr) return ErrnoError(errno, "read security", folder, name);
  SecurityDescriptor descriptor;
  const ssize_t access_size = acl_size(access.get());
  if (access_size < 0) return ErrnoError(errno, "read security", folder, name);
  AppendSize(static_cast<uint32_t>(access_size), descriptor);
  if (!AppendExternal(access.get(), descriptor)) {
    return ErrnoError(errno, "read security", folder, name);
  }
  if (S_ISDIR(entry->st.st_mode)) {
    AclHandle inherited(acl_get_file(path.c_str(), ACL_TYPE_DEFAULT));
    if (inherited.get() == nullptr || !AppendExternal(inherited.get(), descriptor)) {
      return ErrnoError(errno, "read security", folder, name);
    }
  }
  return descriptor;
}

Status PosixFileSystem::WriteSecurityAt(const Folder& folder, std::string_view name,
                                        const SecurityDescriptor& descriptor) {
  if (descriptor.size() < 4) return ErrnoError(EINVAL, "write security", folder, name);
  uint32_t access_size = 0;
  for (int i = 0; i < 4; ++i) access_size |= uint32_t{descriptor[i]} << (8 * i);
  if (access_size > descriptor.size() - 4)
    return ErrnoError(EINVAL, "write security", folder, name);
  // acl_copy_int takes a non-const pointer but only reads from it.
  auto* bytes = const_cast<uint8_t*>(descriptor.data());
  AclHandle access(acl_copy_int(bytes + 4));
  if (access.get() == nullptr) return ErrnoError(errno, "write security", folder, name);

  auto entry = OpenEntry(folder, name, "write security");
  if (!entry.ok()) return entry.error();
  if (entry->IsLink()) return ErrnoError(EOPNOTSUPP, "write security", folder, name);
  const std::string& path = entry->path;
  if (acl_set_file(path.c_str(), ACL_TYPE_ACCESS, access.get()) != 0) {
    return ErrnoError(errno, "write security", folder, name);
  }
  const size_t rest = descriptor.size() - 4 - access_size;
  if (S_ISDIR(entry->st.st_mode) && rest > 0) {
    AclHandle inherited(acl_copy_int(bytes + 4 + access_size));
    if (inherited.get() == nullptr) return ErrnoError(errno, "write security", folder, name);
    const int done = acl_entries(inherited.get()) == 0
                         ? acl_delete_def_file(path.c_str())
                         : acl_set_file(path.c_str(), ACL_TYPE_DEFAULT, inherited.get());
    if (done != 0) return ErrnoError(errno, "write security", folder, name);
  }
  return {};
}

Result<std::string> PosixFileSystem::ReadStreamAt(const Folder& folder, std::string_view name,
                                                  std::string_view stream, std::size_t max_bytes) {
  auto entry = OpenEntry(folder, name, "read stream");
  if (!entry.ok()) return entry.error();
  Result<std::string> value = GetAttribute(*entry, StreamAttributeName(stream), folder, name);
  if (value.ok() && value->size() > max_bytes) value->resize(max_bytes);
  return value;
}

Status PosixFileSystem::CopyStreamAt(const Folder& source, std::string_view name,
                                     const Folder& target, std::string_view target_name,
                                     std::string_view stream) {
  const std::string attribute = StreamAttributeName(stream);
  auto from = OpenEntry(source, name, "read stream");
  if (!from.ok()) return from.error();
  Result<std::string> value = GetAttribute(*from, attribute, source, name);
  if (!value.ok()) return value.error();
  auto to = OpenEntry(target, target_name, "write stream");
  if (!to.ok()) return to.error();
  if (to->IsLink()) return ErrnoError(EOPNOTSUPP, "write stream", target, target_name);
  if (::setxattr(to->path.c_str(), attribute.c_str(), value->data(), value->size(), 0) != 0) {
    return ErrnoError(errno, "write stream", target, target_name);
  }
  return {};
}

Status PosixFileSystem::DeleteStreamAt(const Folder& folder, std::string_view name,
                                       std::string_view stream) {
  auto entry = OpenEntry(folder, name, "delete stream");
  if (!entry.ok()) return entry.error();
  if (entry->IsLink() ||
      ::removexattr(entry->path.c_str(), StreamAttributeName(stream).c_str()) != 0) {
    return ErrnoError(entry->IsLink() ? EOPNOTSUPP : errno, "delete stream", folder, name);
  }
  return {};
}

}  // namespace vorn::platform::posix
