// The pairs file on any bytes: decoding never crashes, every byte string
// survives an encode and a decode, and a whole file loads without harm.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "config/folder_pairs.h"
#include "config/hex_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const PathFamily family : {PathFamily::kWide, PathFamily::kAnsi}) {
    const std::string encoded = EncodeHexPath(text, family);
    const auto back = DecodeHexPath(encoded, family);
    fuzz::Require(back.has_value() && *back == text);
    if (const auto decoded = DecodeHexPath(text, family)) {
      fuzz::Require(DecodeHexPath(EncodeHexPath(*decoded, family), family) == decoded);
    }
  }

  static const auto fs = platform::MakePosixFileSystem();
  const std::string pairs_path = fuzz::WriteScratch(text, "Vorn.w");
  const IniFile ini(*fs, fuzz::WriteScratch("", "Vorn.ini"));
  const PairList list = LoadFolderPairs(*fs, ini, pairs_path, {});
  fuzz::Require(list.pairs.size() == list.rows.size());
  fuzz::Require(list.pairs.size() <= static_cast<size_t>(kMaxPairs));
  return 0;
}
