// The configuration reader on any bytes: it must not crash, and a key
// written must read back while the other keys keep their values.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "config/ini_file.h"
#include "config/mirror_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  static const auto fs = platform::MakePosixFileSystem();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::WriteScratch(text, "Vorn.ini");
  IniFile ini(*fs, path);
  (void)LoadSettings(ini, *fs, "/tmp");

  const std::string before_langue = ini.Read("Configuration", "Langue");
  const std::string before_logs = ini.Read("Logs", "Logs");
  fuzz::Require(before_langue.size() <= IniFile::kMaxValueLength);
  if (ini.Write("Mirror_7", "Enable", "yes")) {
    fuzz::Require(ini.Read("mirror_7", "ENABLE") == "yes");
    fuzz::Require(ini.Read("Configuration", "Langue") == before_langue);
    fuzz::Require(ini.Read("Logs", "Logs") == before_logs);
    fuzz::Require(ini.Write("Mirror_7", "Enable", std::nullopt));
    fuzz::Require(ini.Read("Mirror_7", "Enable").empty());
  }
  return 0;
}
