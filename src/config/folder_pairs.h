#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "config/hex_path.h"
#include "config/ini_file.h"
#include "base/text.h"

namespace vorn {

/// The most pairs the list holds (pair numbers are 16-bit).
inline constexpr int kMaxPairs = 32767;

/// Pairs that a pass must never run: a walk into its own target, a target
/// that swallows the source or Vorn's own files.
enum class PairDanger : uint8_t {
  kNone,
  kSameFolder,            ///< source and target are one folder
  kSourceInsideTarget,    ///< removal would delete the source
  kTargetInsideSource,    ///< the walk would copy the target into itself
  kTargetIsRoot,          ///< the target is "/"
  kTargetHoldsOwnFiles,   ///< the target holds the application or log folder
};

/// One numbered pair: two folders and how the source is mirrored onto the
/// target. The settings hold the texts read from the configuration
/// file and are written back unchanged, so a hand-written "yes" survives a
/// save (and counts as off: a setting is on exactly when its text is "1").
struct FolderPair {
  int16_t Number = 0;  ///< 1..n in list order after every load
  std::string Source;
  std::string Target;  ///< may be empty: no target chosen yet
  std::string NbTemporisations = "1";
  std::string Deplacer = "0";
  std::string Renommer = "0";
  std::string Effacer = "0";
  std::string Nouveau = "0";
  std::string Enable = "1";
  std::string NoMilliseconds = "0";
  /// "1": an empty source may empty the target. Otherwise an empty source
  /// root beside a non-empty target is taken for a disk that is not there.
  std::string SourceVideAutorise;
  /// The file system the source root was on when last mirrored with entries
  /// in it (see platform::VolumeIdentity); empty until then. A source root
  /// found on another file system is taken for a vanished source.
  std::string SourceVolume;
  /// Days a removed or replaced target file is kept in the target's
  /// versions folder; "0", or none (pairs made before it existed): not kept.
  std::string KeepVersions;
  /// What the pair leaves out: patterns separated by '|'.
  std::string Exclusions;
  /// "1": a time difference of exactly one hour is no change (FAT targets
  /// across daylight saving).
  std::string IgnoreHourShift;
  /// "1": names of one source file stay names of one target file.
  std::string HardLinks;
  /// Why the pair may never be mirrored (its folders nest or the target
  /// holds Vorn's own files); decided by every load, not saved.
  PairDanger Danger = PairDanger::kNone;
  /// Timed passes left before the pair is mirrored again; not saved. Reset to
  /// the leading number of NbTemporisations by every load; 32 bits hold the
  /// largest interval count (64000) and beyond.
  int32_t PassCountdown = 1;

  bool operator==(const FolderPair&) const = default;
};

/// True exactly when a setting's text is "1".
inline bool IsOn(std::string_view setting) {
  return setting == "1";
}

/// Text colours of the pair grid.
enum class CellColour { kDefault, kRed, kMagenta, kGrey };

struct Rgb {
  uint8_t red, green, blue;
};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kMagenta{255, 0, 255};
inline constexpr Rgb kCyan{0, 255, 255};
inline constexpr Rgb kGrey{128, 128, 128};

/// How one path cell of a pair's row is drawn.
struct CellStyle {
  CellColour colour = CellColour::kDefault;
  bool cyan_background = false;
  bool struck_through = false;
  bool operator==(const CellStyle&) const = default;
};

/// The picture of the middle column.
enum class IntervalImage { kDefaultInterval, kSpecificInterval };

/// Everything the grid needs to draw one pair, decided by the load.
struct PairRow {
  int16_t pair_number = 0;
  std::string source_text;  ///< the path, "??? " + path when missing or refused, six blanks
                            ///< added on a Macintosh volume
  std::string target_text;  ///< likewise, "???" when no target was chosen
  bool source_exists = false;
  bool target_exists = false;
  bool source_is_macintosh = false;
  bool target_is_macintosh = false;
  CellStyle source_style;
  CellStyle target_style;
  IntervalImage interval_image = IntervalImage::kDefaultInterval;
};

/// What LoadFolderPairs needs to know of its surroundings.
struct PairLoadContext {
  bool nt = true;        ///< Macintosh volumes are recognised only on the NT family
  Language language = kUnset;  ///< for the Macintosh consistency warning
  /// Whether a folder lies on a Macintosh volume; none means never.
  std::function<bool(const std::string& folder)> is_macintosh_volume;
  /// Vorn's own folders, which no target may be or hold; empty: not checked.
  std::string application_folder;
  std::string log_folder;
};

/// The pair list as loaded: the pairs, their rows, and what the caller must act on.
struct PairList {
  std::vector<FolderPair> pairs;  ///< pairs[i].Number == i + 1
  std::vector<PairRow> rows;      ///< one per pair, same order
  /// A pair's source and target disagree on being on a Macintosh volume;
  /// mac_warning holds the last such warning, two lines joined by CR LF.
  bool MacWarningPending = false;
  std::string mac_warning;
  /// One message per pair that may never be mirrored (see PairDanger), in
  /// list order: why, and the pair's folders.
  std::vector<std::string> refusals;
  /// The first pair whose source or target is missing (or has no target),
  /// 0 when none: with "-U" on the command line the caller ends the program.
  int16_t first_missing_pair = 0;
  /// The pairs file is damaged: the message to show (critical icon) before
  /// ending the program. The rest of the list is then meaningless.
  std::optional<std::string> damaged_message;

  /// A grid row and the pair it shows; nothing for a row out of range.
  const PairRow* Row(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)]
                                                              : nullptr;
  }
  FolderPair* PairOfRow(int row) {
    const PairRow* shown = Row(row);
    return shown != nullptr ? &pairs[static_cast<size_t>(shown->pair_number) - 1] : nullptr;
  }
};

/// Reads the pairs file and the "Mirror_" sections into a fresh list. A
/// missing or empty pairs file gives an empty list; unreadable lines are
/// skipped; a field that is not an encoded path makes the file damaged.
PairList LoadFolderPairs(platform::FileSystem& fs, const IniFile& ini,
                         const std::string& pairs_path, const PairLoadContext& context);

/// Gives each setting without text the text a load gives it: "1" for
/// NbTemporisations and Enable, "0" for the other flags.
void GiveDefaultTexts(FolderPair& pair);

/// Writes the pairs file and the "Mirror_" sections in the order of
/// `row_order` (pair numbers, as the grid's rows hold them): the pair in row
/// i goes to line i and section "Mirror_i". A setting without text is removed
/// from its section. Sections above the new count are left alone. False when
/// the pairs file could not be written (the sections are then not touched)
/// or the sections could not be.
bool SaveFolderPairs(platform::FileSystem& fs, IniFile& ini, const std::string& pairs_path,
                     const std::vector<FolderPair>& pairs, std::span<const int16_t> row_order,
                     PathFamily family);

/// Whether a path names a network share: "//server/share/..." (on Windows
/// "\\server\share\...").
bool IsNetworkPath(std::string_view path);

/// The target a new pair gets from its source. A local path is placed under
/// the default target prefix (the "drive" of targets: with /mnt/backup,
/// /data/x becomes /mnt/backup/data/x; a Windows-style "D:" path keeps the
/// drive-letter rule). A network path //server/share/rest takes the default
/// network prefix in place of //server/share (the prefix alone when nothing
/// follows the share; nothing when no share follows the server). Empty when
/// the prefix that applies is empty.
std::string DefaultTarget(std::string_view source, std::string_view drive_prefix,
                          std::string_view unc_prefix);

/// The section of pair n: "Mirror_" + n.
std::string PairSection(int n);

/// Writes one key of a pair's section the moment it changes (what a pass
/// learns of a pair, such as its source volume).
std::function<void(const FolderPair&, std::string_view, const std::string&)> PairKeyWriter(
    IniFile& ini);

}  // namespace vorn
