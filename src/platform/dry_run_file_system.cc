#include "platform/dry_run_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>
#include <vector>

#include "platform/path.h"
#include "platform/posix_internal.h"

namespace vorn::platform {
namespace {

// A folder opened through the dry run: a real one, or one only this run made.
class DryRunFolder final : public Folder {
 public:
  DryRunFolder(std::unique_ptr<Folder> real, std::string path)
      : Folder(std::move(path)), real_(std::move(real)) {}
  /// Null for a folder this run made.
  const Folder* real() const { return real_.get(); }

 private:
  std::unique_ptr<Folder> real_;
};

const Folder* RealOf(const Folder& folder) {
  return static_cast<const DryRunFolder&>(folder).real();
}

std::string PathIn(const Folder& folder, std::string_view name) {
  return JoinPath(folder.path(), name);
}

Error Gone(int code, std::string operation, std::string path) {
  return MakeError(code, std::move(operation), std::move(path));
}

// The attribute bits the POSIX file system computes, after a change of
// name or permissions.
uint32_t AttributesFor(const EntryInfo& info, std::string_view name) {
  uint32_t bits =
      info.attributes & ~(attribute::kReadOnly | attribute::kHidden | attribute::kNormal);
  if (info.type != EntryType::kLink && (info.permissions & S_IWUSR) == 0) {
    bits |= attribute::kReadOnly;
  }
  if (!name.empty() && name.front() == '.' && name != "." && name != "..") {
    bits |= attribute::kHidden;
  }
  return bits == 0 ? attribute::kNormal : bits;
}

// An entry the process makes belongs to it.
void OwnedByProcess(EntryInfo& info) {
  info.uid = ::geteuid();
  info.gid = ::getegid();
}

bool InOwnGroups(uint32_t gid) {
  if (gid == ::getegid()) return true;
  std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
  const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
  groups.resize(static_cast<size_t>(std::max(count, 0)));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

uint64_t Now() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return posix::FileTimeFromTimespec(now);
}

}  // namespace

// A real folder's listing without what the run removed and with what it
// made, or the listing of a folder the run made.
class DryRunFileSystem::Reader final : public FolderReader {
 public:
  Reader(const DryRunFileSystem& fs, std::string folder, std::unique_ptr<FolderReader> real,
         std::vector<FolderEntry> made)
      : fs_(fs), folder_(std::move(folder)), real_(std::move(real)), made_(std::move(made)) {}

  bool Next(FolderEntry& entry) override {
    while (real_ != nullptr && real_->Next(entry)) {
      if (entry.name == "." || entry.name == "..") return true;
      const Seen seen = fs_.See(JoinPath(folder_, entry.name));
      if (seen.gone != 0) continue;
      if (seen.node != nullptr) entry.type = seen.node->info.type;
      return true;
    }
    if (real_ != nullptr && real_->error()) return false;
    if (next_made_ >= made_.size()) return false;
    entry = made_[next_made_++];
    return true;
  }
  const std::optional<Error>& error() const override {
    return real_ != nullptr ? real_->error() : no_error_;
  }

 private:
  const DryRunFileSystem& fs_;
  std::string folder_;
  std::unique_ptr<FolderReader> real_;
  std::vector<FolderEntry> made_;
  size_t next_made_ = 0;
  std::optional<Error> no_error_;
};

DryRunFileSystem::DryRunFileSystem(FileSystem& real) : real_(real) {
  // umask can only be read by setting it; nothing is created here anyway.
  umask_ = ::umask(022);
  ::umask(umask_);
}

DryRunFileSystem::~DryRunFileSystem() = default;

DryRunFileSystem::Seen DryRunFileSystem::See(const std::string& path) const {
  if (nodes_.empty()) return {};
  if (const auto it = nodes_.find(path); it != nodes_.end()) {
    return it->second.present ? Seen{&it->second, 0} : Seen{nullptr, ENOENT};
  }
  for (std::string folder = ParentFolder(path); !folder.empty(); folder = ParentFolder(folder)) {
    if (const auto it = nodes_.find(folder); it != nodes_.end()) {
      const Node& node = it->second;
      if (!node.present) return {nullptr, ENOENT};
      if (node.info.type != EntryType::kFolder) return {nullptr, ENOTDIR};
      if (node.made) return {nullptr, ENOENT};
    }
    if (folder == "/") break;
  }
  return {};
}

DryRunFileSystem::Node& DryRunFileSystem::Touch(const std::string& path) {
  const auto it = nodes_.find(path);
  if (it != nodes_.end()) return it->second;
  Node node;
  if (const auto info = Lookup(path); info.ok()) {
    node.on_disk = true;
    node.info = *info;
  }
  return nodes_.emplace(path, std::move(node)).first->second;
}

DryRunFileSystem::Node& DryRunFileSystem::Place(const std::string& path, const EntryInfo& info,
                                                std::string_view name) {
  Node& node = Touch(path);
  node.present = true;
  node.made = true;
  node.info = info;
  node.info.attributes = AttributesFor(info, name);
  return node;
}

int DryRunFileSystem::Forecast(const std::string& path, int mode) const {
  // Only a definite refusal counts; a path too long to ask about, say, is
  // left for the real run to find out.
  if (::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0) return 0;
  return errno == EACCES || errno == EROFS || errno == EPERM ? errno : 0;
}

int DryRunFileSystem::ForecastOwner(const Folder& folder, const std::string& path) const {
  // Modes and access lists change for the owner (or root) only.
  if (RealOf(folder) == nullptr || ::geteuid() == 0) return 0;
  if (const Seen seen = See(path); seen.node != nullptr && seen.node->made) return 0;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_uid == ::geteuid() ? 0 : EPERM;
}

Result<std::unique_ptr<Folder>> DryRunFileSystem::Wrap(Result<std::unique_ptr<Folder>> opened) {
  if (!opened.ok()) return opened.error();
  std::string path = (*opened)->path();
  return std::unique_ptr<Folder>(
      std::make_unique<DryRunFolder>(std::move(opened).value(), std::move(path)));
}

std::optional<Result<std::unique_ptr<Folder>>> DryRunFileSystem::OpenAsSeen(
    const std::string& folder) const {
  const Seen seen = See(folder);
  using Opened = Result<std::unique_ptr<Folder>>;
  if (seen.gone != 0) return Opened(Gone(seen.gone, "open folder", folder));
  if (seen.node == nullptr) return std::nullopt;
  if (seen.node->info.type != EntryType::kFolder) {
    return Opened(Gone(ENOTDIR, "open folder", folder));
  }
  if (seen.node->made) return Opened(std::make_unique<DryRunFolder>(nullptr, folder));
  return std::nullopt;
}

Result<std::unique_ptr<Folder>> DryRunFileSystem::OpenFolder(const std::string& path) {
  const std::string folder = WithoutTrailingSeparator(path);
  if (auto seen = OpenAsSeen(folder)) return std::move(*seen);
  return Wrap(real_.OpenFolder(path));
}

Result<std::unique_ptr<Folder>> DryRunFileSystem::OpenFolderAt(const Folder& parent,
                                                               std::string_view relative) {
  const std::string folder = PathIn(parent, relative);
  if (auto seen = OpenAsSeen(folder)) return std::move(*seen);
  if (RealOf(parent) == nullptr) return Gone(ENOENT, "open folder", folder);
  return Wrap(real_.OpenFolderAt(*RealOf(parent), relative));
}

Result<FolderIdentity> DryRunFileSystem::IdentityOf(const Folder& folder) {
  if (RealOf(folder) != nullptr) return real_.IdentityOf(*RealOf(folder));
  // A folder of this run is on no volume yet; its path tells it apart.
  return FolderIdentity{"", 0, std::hash<std::string>{}(folder.path())};
}

Result<std::unique_ptr<FolderReader>> DryRunFileSystem::ReadFolder(const Folder& folder) {
  std::unique_ptr<FolderReader> real;
  std::vector<FolderEntry> made;
  if (RealOf(folder) != nullptr) {
    auto reader = real_.ReadFolder(*RealOf(folder));
    if (!reader.ok()) return reader.error();
    real = std::move(reader).value();
  } else {
    made.push_back({".", EntryType::kFolder, false});
    made.push_back({"..", EntryType::kFolder, false});
  }
  // The entries the run made here that the real listing cannot name.
  const std::string prefix = folder.path() == "/" ? "/" : folder.path() + kSeparator;
  for (auto it = nodes_.lower_bound(prefix);
       it != nodes_.end() && std::string_view(it->first).starts_with(prefix); ++it) {
    const std::string_view name = std::string_view(it->first).substr(prefix.size());
    const Node& node = it->second;
    if (name.find(kSeparator) != std::string_view::npos || !node.present || node.on_disk) continue;
    made.push_back(
        {std::string(name), node.info.type, (node.info.attributes & attribute::kHidden) != 0});
  }
  return std::unique_ptr<FolderReader>(
      std::make_unique<Reader>(*this, folder.path(), std::move(real), std::move(made)));
}

Result<EntryInfo> DryRunFileSystem::Lookup(const std::string& path) {
  const Seen seen = See(WithoutTrailingSeparator(path));
  if (seen.gone != 0) return Gone(seen.gone, "look up", path);
  if (seen.node != nullptr) return seen.node->info;
  return real_.Lookup(path);
}

Result<EntryInfo> DryRunFileSystem::LookupAt(const Folder& folder, std::string_view name) {
  const std::string path = PathIn(folder, name);
  const Seen seen = See(path);
  if (seen.gone != 0) return Gone(seen.gone, "look up", path);
  if (seen.node != nullptr) return seen.node->info;
  if (RealOf(folder) == nullptr) return Gone(ENOENT, "look up", path);
  return real_.LookupAt(*RealOf(folder), name);
}

Status DryRunFileSystem::CreateFolderAt(const Folder& folder, std::string_view name) {
  const std::string path = PathIn(folder, name);
  if (LookupAt(folder, name).ok()) return Gone(EEXIST, "create folder", path);
  if (RealOf(folder) != nullptr) {
    if (const int e = Forecast(folder.path(), W_OK | X_OK)) return Gone(e, "create folder", path);
  }
  Node& node = Touch(path);
  node.present = true;
  node.made = true;
  node.info = EntryInfo{EntryType::kFolder, attribute::kDirectory, 0777 & ~umask_, Now(), 0};
  node.info.attributes = AttributesFor(node.info, name);
  OwnedByProcess(node.info);
  node.security.reset();
  return {};
}

Status DryRunFileSystem::RemoveFolderAt(const Folder& folder, std::string_view name) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "remove folder", path);
  if (!info->IsFolder()) return Gone(ENOTDIR, "remove folder", path);
  auto opened = OpenFolderAt(folder, name);
  if (!opened.ok()) return Gone(opened.error().code, "remove folder", path);
  auto reader = ReadFolder(**opened);
  if (!reader.ok()) return Gone(reader.error().code, "remove folder", path);
  FolderEntry entry;
  while ((*reader)->Next(entry)) {
    if (entry.name != "." && entry.name != "..") return Gone(ENOTEMPTY, "remove folder", path);
  }
  if (RealOf(folder) != nullptr) {
    if (const int e = Forecast(folder.path(), W_OK | X_OK)) return Gone(e, "remove folder", path);
  }
  Touch(path).present = false;
  return {};
}

Status DryRunFileSystem::DeleteFileAt(const Folder& folder, std::string_view name) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "delete", path);
  if (info->IsFolder()) return Gone(EISDIR, "delete", path);
  if (RealOf(folder) != nullptr) {
    if (const int e = Forecast(folder.path(), W_OK | X_OK)) return Gone(e, "delete", path);
  }
  Touch(path).present = false;
  return {};
}

Status DryRunFileSystem::RenameAt(const Folder& from_folder, std::string_view from,
                                  const Folder& to_folder, std::string_view to) {
  const std::string from_path = PathIn(from_folder, from);
  const auto info = LookupAt(from_folder, from);
  if (!info.ok()) return Gone(info.error().code, "rename", from_path);
  // Mirroring renames its own temporaries only; a folder renamed in this
  // view would lose the real entries below it.
  if (info->IsFolder()) return Gone(EOPNOTSUPP, "rename", from_path);
  if (LookupAt(to_folder, to).ok()) return Gone(EEXIST, "rename", from_path);
  for (const Folder* folder : {&from_folder, &to_folder}) {
    if (RealOf(*folder) == nullptr) continue;
    if (const int e = Forecast(folder->path(), W_OK | X_OK)) return Gone(e, "rename", from_path);
  }
  Place(PathIn(to_folder, to), *info, to);
  Touch(from_path).present = false;
  return {};
}

Status DryRunFileSystem::LinkFileAt(const std::string& existing, const Folder& folder,
                                    std::string_view name) {
  const std::string path = PathIn(folder, name);
  const auto info = Lookup(existing);
  if (!info.ok()) return Gone(info.error().code, "link", path);
  if (const auto there = LookupAt(folder, name); there.ok() && there->IsFolder()) {
    return Gone(EISDIR, "rename", path);
  }
  if (RealOf(folder) != nullptr) {
    if (const int e = Forecast(folder.path(), W_OK | X_OK)) return Gone(e, "link", path);
  }
  Node& linked = Place(path, *info, name);
  linked.security.reset();
  linked.contents.reset();
  return {};
}

Status DryRunFileSystem::SetPermissionsAt(const Folder& folder, std::string_view name,
                                          uint32_t permissions) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "change permissions", path);
  if (info->type == EntryType::kLink) return Gone(EOPNOTSUPP, "change permissions", path);
  if (const int e = ForecastOwner(folder, path)) return Gone(e, "change permissions", path);
  Node& node = Touch(path);
  node.info.permissions = permissions & 07777;
  node.info.attributes = AttributesFor(node.info, name);
  return {};
}

Status DryRunFileSystem::SetOwnerAt(const Folder& folder, std::string_view name, uint32_t uid,
                                    uint32_t gid) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "change owner", path);
  // Only root gives an entry away; its owner may only move it between its
  // own groups.
  if (::geteuid() != 0 &&
      (info->uid != ::geteuid() || uid != info->uid || (gid != info->gid && !InOwnGroups(gid)))) {
    return Gone(EPERM, "change owner", path);
  }
  Node& node = Touch(path);
  node.info.uid = uid;
  node.info.gid = gid;
  // The disk drops the set-ID bits of all but folders on any change of owner.
  if (node.info.type == EntryType::kFile || node.info.type == EntryType::kOther) {
    node.info.permissions &= ~uint32_t{S_ISUID};
    if ((node.info.permissions & S_IXGRP) != 0) node.info.permissions &= ~uint32_t{S_ISGID};
  }
  return {};
}

Status DryRunFileSystem::MakeWritableAt(const Folder& folder, std::string_view name) {
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "look up", PathIn(folder, name));
  if (info->type == EntryType::kLink || (info->permissions & S_IWUSR) != 0) return {};
  return SetPermissionsAt(folder, name, info->permissions | S_IWUSR);
}

Status DryRunFileSystem::SetTimeAt(const Folder& folder, std::string_view name,
                                   uint64_t last_write) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "set times", path);
  // Only the owner (or root) may set a time other than now.
  if (const int e = ForecastOwner(folder, path)) return Gone(e, "set times", path);
  Touch(path).info.last_write = last_write;
  return {};
}

Result<uint64_t> DryRunFileSystem::ProbeTimeGranularity(const Folder& folder) {
  // The real probe writes a file, and even put back at once it changes the
  // folder's change time: a dry run changes nothing, so it guesses from the
  // file system's type instead. FAT and exFAT keep two-second times; the
  // rest of what Linux mounts keeps at least whole seconds, and most keep
  // nanoseconds, which is what a wrong guess costs nothing on: the real run
  // probes and may find fewer files up to date, never more.
  const Folder* real = RealOf(folder);
  std::unique_ptr<Folder> above;
  for (std::string path = ParentFolder(folder.path()); real == nullptr && !path.empty();
       path = ParentFolder(path)) {
    if (const Seen seen = See(path); seen.node == nullptr || !seen.node->made) {
      auto opened = real_.OpenFolder(path);
      if (!opened.ok()) return opened.error();
      above = std::move(*opened);
      real = above.get();
    }
    if (path == "/") break;
  }
  if (real == nullptr) return Gone(ENOENT, "keep times in", folder.path());
  const auto identity = real_.IdentityOf(*real);
  if (!identity.ok()) return identity.error();
  // The volume starts with the file system's magic number in hexadecimal.
  const std::string& volume = identity->volume;
  const bool fat = volume.starts_with("4d44:") || volume.starts_with("2011bab0:");
  return uint64_t{fat ? 20000000u : 1u};
}

Status DryRunFileSystem::CopyFileAt(const Folder& source, std::string_view name,
                                    const Folder& target, std::string_view target_name,
                                    const CopyOptions& options) {
  const std::string source_path = PathIn(source, name);
  const std::string target_path = PathIn(target, target_name);
  const auto info = LookupAt(source, name);
  if (!info.ok()) return Gone(info.error().code, "open", source_path);
  const Seen seen_source = See(source_path);
  if (info->type == EntryType::kFile && seen_source.node == nullptr) {
    if (const int e = Forecast(source_path, R_OK)) return Gone(e, "open", source_path);
  }
  if (options.refuse_locked && IsLockedAt(source, name)) {
    return Gone(EWOULDBLOCK, "locked", source_path);
  }
  if (RealOf(target) != nullptr) {
    if (const int e = Forecast(target.path(), W_OK | X_OK)) {
      return Gone(e, "create temporary in", target.path());
    }
  }
  if (const auto there = LookupAt(target, target_name); there.ok() && there->IsFolder()) {
    return Gone(EISDIR, "rename", target_path);
  }
  Node& copy = Place(target_path, *info, target_name);
  if (!options.copy_owner || ::geteuid() != 0) OwnedByProcess(copy.info);
  copy.security.reset();
  copy.contents.reset();
  return {};
}

bool DryRunFileSystem::IsLockedAt(const Folder& folder, std::string_view name) {
  const Seen seen = See(PathIn(folder, name));
  if (seen.gone != 0 || (seen.node != nullptr && seen.node->made) || RealOf(folder) == nullptr) {
    return false;
  }
  return real_.IsLockedAt(*RealOf(folder), name);
}

bool DryRunFileSystem::IsCopyDebrisAt(const Folder& folder, std::string_view name) {
  const Seen seen = See(PathIn(folder, name));
  if (seen.gone != 0 || (seen.node != nullptr && seen.node->made) || RealOf(folder) == nullptr) {
    return false;
  }
  return real_.IsCopyDebrisAt(*RealOf(folder), name);
}

Result<SecurityDescriptor> DryRunFileSystem::ReadSecurityAt(const Folder& folder,
                                                            std::string_view name) {
  const std::string path = PathIn(folder, name);
  const Seen seen = See(path);
  if (seen.gone != 0) return Gone(seen.gone, "read security", path);
  if (seen.node != nullptr && seen.node->security) return *seen.node->security;
  if ((seen.node != nullptr && seen.node->made) || RealOf(folder) == nullptr) {
    return SecurityDescriptor{};
  }
  return real_.ReadSecurityAt(*RealOf(folder), name);
}

Status DryRunFileSystem::WriteSecurityAt(const Folder& folder, std::string_view name,
                                         const SecurityDescriptor& descriptor) {
  const std::string path = PathIn(folder, name);
  const auto info = LookupAt(folder, name);
  if (!info.ok()) return Gone(info.error().code, "write security", path);
  if (info->type == EntryType::kLink) return Gone(EOPNOTSUPP, "write security", path);
  if (const int e = ForecastOwner(folder, path)) return Gone(e, "write security", path);
  Touch(path).security = descriptor;
  return {};
}

Result<std::string> DryRunFileSystem::ReadStreamAt(const Folder& folder, std::string_view name,
                                                   std::string_view stream, std::size_t max_bytes) {
  const std::string path = PathIn(folder, name);
  const Seen seen = See(path);
  if (seen.gone != 0) return Gone(seen.gone, "read stream", path);
  if ((seen.node != nullptr && seen.node->made) || RealOf(folder) == nullptr) {
    return Gone(ENODATA, "read stream", path);
  }
  return real_.ReadStreamAt(*RealOf(folder), name, stream, max_bytes);
}

Status DryRunFileSystem::CopyStreamAt(const Folder& source, std::string_view name,
                                      const Folder& target, std::string_view target_name,
                                      std::string_view stream) {
  if (auto read = ReadStreamAt(source, name, stream, 1); !read.ok()) return read.error();
  if (auto info = LookupAt(target, target_name); !info.ok()) return info.error();
  return {};
}

Status DryRunFileSystem::DeleteStreamAt(const Folder& folder, std::string_view name,
                                        std::string_view stream) {
  if (auto read = ReadStreamAt(folder, name, stream, 1); !read.ok()) return read.error();
  return {};
}

Result<std::string> DryRunFileSystem::ReadFile(const std::string& path) {
  const Seen seen = See(path);
  if (seen.gone != 0) return Gone(seen.gone, "open", path);
  if (seen.node != nullptr && seen.node->contents) return *seen.node->contents;
  return real_.ReadFile(path);
}

Status DryRunFileSystem::ReplaceFile(const std::string& path, std::string_view contents) {
  Node& node = Touch(path);
  node.present = true;
  node.made = true;
  node.contents = std::string(contents);
  node.info = EntryInfo{EntryType::kFile, 0, node.on_disk ? node.info.permissions : 0666 & ~umask_,
                        Now(), contents.size()};
  node.info.attributes = AttributesFor(node.info, BaseName(path));
  OwnedByProcess(node.info);  // the file is replaced, not rewritten
  return {};
}

Status DryRunFileSystem::AppendToFile(const std::string& path, std::string_view text) {
  auto before = ReadFile(path);
  std::string contents = before.ok() ? std::move(before).value() : std::string();
  contents.append(text);
  return ReplaceFile(path, contents);
}

Status DryRunFileSystem::DeleteFile(const std::string& path) {
  if (auto info = Lookup(path); !info.ok()) return info.error();
  Touch(path).present = false;
  return {};
}

}  // namespace vorn::platform
