// The safety net of a pair's target: what a pass removes or replaces there
// is moved aside into the versions folder, on the same file system, and
// purged once older than the pair's retention.

#include "engine/versions.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "engine/mirror_engine.h"
#include "platform/path.h"

namespace vorn {

using platform::Folder;

std::string VersionStamp(const platform::LocalTime& time) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d%02d%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return stamp;
}

int64_t DayNumber(int year, int month, int day) {
  // Days from civil, counted in 400-year eras that begin on a 1 March.
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t year_of_era = y - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

std::optional<int64_t> DayOfStamp(std::string_view name) {
  // "YYYY-MM-DD HHMMSS", digits where digits belong, and "-N" after it for
  // a second pass of the same second.
  constexpr std::string_view kShape = "0000-00-00 000000";
  if (name.size() > kShape.size()) {
    const std::string_view suffix = name.substr(kShape.size());
    if (suffix.size() < 2 || suffix[0] != '-' ||
        suffix.find_first_not_of("0123456789", 1) != std::string_view::npos) {
      return std::nullopt;
    }
    name = name.substr(0, kShape.size());
  }
  if (name.size() != kShape.size()) return std::nullopt;
  for (size_t i = 0; i < name.size(); ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    if (kShape[i] == '0' ? !digit : name[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&](size_t at, size_t length) {
    int value = 0;
    for (size_t i = at; i < at + length; ++i) value = value * 10 + (name[i] - '0');
    return value;
  };
  const int month = number(5, 2);
  const int day = number(8, 2);
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  return DayNumber(number(0, 4), month, day);
}

namespace {

// Removes a folder and everything below it, links included and never
// followed; what cannot go stays.
void RemoveTree(platform::FileSystem& fs, const Folder& parent, const std::string& name) {
  if (auto folder = fs.OpenFolderAt(parent, name); folder.ok()) {
    std::vector<std::string> sub_folders;
    if (auto reader = fs.ReadFolder(**folder); reader.ok()) {
      platform::FolderEntry entry;
      while ((*reader)->Next(entry)) {
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.type == platform::EntryType::kFolder) {
          sub_folders.push_back(entry.name);
        } else {
          (void)fs.DeleteFileAt(**folder, entry.name);
        }
      }
    }
    for (const std::string& sub_folder : sub_folders) RemoveTree(fs, **folder, sub_folder);
  }
  (void)fs.RemoveFolderAt(parent, name);
}

}  // namespace

bool MirrorEngine::LeftOut(const WalkStack& walk, std::string_view name, bool is_folder) const {
  if (walk.depth() == 0 && name == kVersionsFolder) return true;
  if (kept_.excluded.empty()) return false;
  const std::string& folder = walk.relative();
  return kept_.excluded.Excludes(
      folder.empty() ? std::string(name) : platform::JoinPath(folder, name), is_folder);
}

platform::Result<std::string> MirrorEngine::MakePassFolder(const Folder& versions) {
  // A pass of the same second (a pass run again at once) gets a folder of
  // its own, so that no version ever takes the place of another.
  const std::string stamp = VersionStamp(pass_start_);
  for (int n = 1;; ++n) {
    std::string name = n == 1 ? stamp : stamp + "-" + std::to_string(n);
    const platform::Status made = env_.fs.CreateFolderAt(versions, name);
    if (made.ok()) return name;
    if (made.error().code != EEXIST || n == 1000) return made.error();
  }
}

platform::Result<const Folder*> MirrorEngine::VersionsFolder(const WalkStack& walk) {
  const auto stamp = versions_stamps_.find(walk.target_root());
  std::vector<std::string> names = {walk.target_root(), std::string(kVersionsFolder),
                                    stamp == versions_stamps_.end() ? "" : stamp->second};
  for (std::string_view rest = walk.relative(); !rest.empty();) {
    const size_t separator = rest.find(platform::kSeparator);
    names.emplace_back(rest.substr(0, separator));
    rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
  }
  size_t shared = 0;
  while (shared < versions_chain_.size() && shared < names.size() &&
         versions_chain_[shared].first == names[shared]) {
    ++shared;
  }
  versions_chain_.resize(shared);
  platform::FileSystem& fs = env_.fs;
  bool parent_made = false;  // then nothing below it can exist yet
  for (size_t i = shared; i < names.size(); ++i) {
    if (i == 0) {
      auto root = fs.OpenFolder(names[0]);
      if (!root.ok()) return root.error();
      versions_chain_.emplace_back(names[0], std::move(*root));
      continue;
    }
    const Folder& parent = *versions_chain_[i - 1].second;
    bool made = false;
    const auto make = [&]() -> platform::Status {
      const platform::Status created = fs.CreateFolderAt(parent, names[i]);
      if (!created && created.error().code != EEXIST) return created;
      // The names of what was removed are the user's to see, no one else's.
      if (created.ok() && i == 1) (void)fs.SetPermissionsAt(parent, names[i], 0700);
      made = created.ok();
      return {};
    };
    if (i == 2 && names[2].empty()) {
      auto pass_folder = MakePassFolder(parent);
      if (!pass_folder.ok()) return pass_folder.error();
      names[2] = versions_stamps_[walk.target_root()] = *pass_folder;
      made = true;
    } else if (parent_made) {
      if (const platform::Status created = make(); !created) return created.error();
    }
    auto next = fs.OpenFolderAt(parent, names[i]);
    if (!next.ok() && next.error().code == ENOENT && !made) {
      if (const platform::Status created = make(); !created) return created.error();
      next = fs.OpenFolderAt(parent, names[i]);
    }
    if (!next.ok()) return next.error();
    versions_chain_.emplace_back(names[i], std::move(*next));
    parent_made = made;
  }
  return versions_chain_.back().second.get();
}

platform::Status MirrorEngine::KeepVersion(const WalkStack& walk, const Folder& folder,
                                           const std::string& name) {
  const auto versions = VersionsFolder(walk);
  if (!versions.ok()) return versions.error();
  platform::Status moved = env_.fs.RenameAt(folder, name, **versions, name);
  if (!moved) DropEmptyVersionFolders(walk);
  return moved;
}

void MirrorEngine::RestoreVersion(const WalkStack& walk, const Folder& folder,
                                  const std::string& name) {
  const auto versions = VersionsFolder(walk);
  if (versions.ok() && env_.fs.RenameAt(**versions, name, folder, name).ok()) {
    DropEmptyVersionFolders(walk);
  }
}

void MirrorEngine::DropEmptyVersionFolders(const WalkStack& walk) {
  // The folders made only to hold a version that is not kept go, the
  // pass's own included; one that holds something else stays.
  while (versions_chain_.size() > 2 &&
         env_.fs
             .RemoveFolderAt(*versions_chain_[versions_chain_.size() - 2].second,
                             versions_chain_.back().first)
             .ok()) {
    versions_chain_.pop_back();
    if (versions_chain_.size() == 2) versions_stamps_.erase(walk.target_root());
  }
}

void MirrorEngine::PurgeVersions(const std::string& target_root, const Folder& target) {
  // Once a day for each target, at its first pass of the day.
  const int64_t today = DayNumber(pass_start_.year, pass_start_.month, pass_start_.day);
  const auto [purged, first] = versions_purged_on_.try_emplace(target_root, today);
  if (!first && purged->second == today) return;
  purged->second = today;
  auto versions = env_.fs.OpenFolderAt(target, kVersionsFolder);
  if (!versions.ok()) return;
  std::vector<std::string> expired;
  if (auto reader = env_.fs.ReadFolder(**versions); reader.ok()) {
    platform::FolderEntry entry;
    while ((*reader)->Next(entry)) {
      const std::optional<int64_t> day = DayOfStamp(entry.name);
      if (day && entry.type == platform::EntryType::kFolder &&
          today - *day > kept_.keep_versions_days) {
        expired.push_back(entry.name);
      }
    }
  }
  for (const std::string& name : expired) {
    RemoveTree(env_.fs, **versions, name);
    env_.control.Yield();
  }
}

int64_t MirrorEngine::TimeGranularityOf(const Folder& target) {
  const auto identity = env_.fs.IdentityOf(target);
  const std::string volume = identity.ok() ? identity->volume : target.path();
  if (const auto known = granularity_of_volume_.find(volume);
      known != granularity_of_volume_.end()) {
    return known->second;
  }
  // A file system that cannot be probed is compared to the unit, as before.
  const auto probed = env_.fs.ProbeTimeGranularity(target);
  const int64_t granularity = probed.ok() ? static_cast<int64_t>(*probed) : 1;
  granularity_of_volume_[volume] = granularity;
  return granularity;
}

namespace {

bool TimesDiffer(uint64_t a, uint64_t b, int64_t granularity) {
  const uint64_t distance = a > b ? a - b : b - a;
  return distance >= static_cast<uint64_t>(granularity);
}

}  // namespace

void MirrorEngine::AlignFolderTime(WalkStack& walk, const std::string& name) {
  const Folder* source = walk.Source();
  const Folder* target = walk.Target();
  if (source == nullptr || target == nullptr) return;
  const auto from = env_.fs.LookupAt(*source, name);
  const auto to = env_.fs.LookupAt(*target, name);
  if (!from.ok() || !to.ok() || !from->IsFolder() || !to->IsFolder()) return;
  if (TimesDiffer(from->last_write, to->last_write, kept_.time_granularity)) {
    (void)env_.fs.SetTimeAt(*target, name, from->last_write);
  }
}

void MirrorEngine::AlignRootTime(const std::string& source, const std::string& target) {
  const auto from = env_.fs.Lookup(source);
  const auto to = env_.fs.Lookup(target);
  if (!from.ok() || !to.ok() || !from->IsFolder() || !to->IsFolder() ||
      !TimesDiffer(from->last_write, to->last_write, kept_.time_granularity)) {
    return;
  }
  if (auto parent = env_.fs.OpenFolder(platform::ParentFolder(target)); parent.ok()) {
    (void)env_.fs.SetTimeAt(**parent, platform::BaseName(target), from->last_write);
  }
}

}  // namespace vorn
