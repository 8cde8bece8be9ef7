#include "support/engine_fixture.h"

#include <sstream>

namespace vorn::testing {

SystemInfo NtSystem() {
  SystemInfo info;
  info.os_name = "Linux";
  info.nt = true;
  info.nt_major_version = 6;
  return info;
}

SystemInfo Windows95System() {
  SystemInfo info;  // outside the NT family: no version
  info.os_name = "Windows 95";
  return info;
}

EngineTest::EngineTest() {
  settings_.PathLogs = dir_.path();
  dir_.MakeFolder("src");
  dir_.MakeFolder("dst");
}

FolderPair& EngineTest::AddPair(const std::string& source, const std::string& target) {
  FolderPair pair;
  pair.Number = static_cast<int16_t>(pairs_.size() + 1);
  pair.Source = source;
  pair.Target = target;
  pairs_.push_back(pair);
  return pairs_.back();
}

void EngineTest::MirrorSrcToDst(const PairContext& context) {
  engine_.PrepareWalk(context);
  engine_.MirrorFolder(dir_.Path("src"), dir_.Path("dst"));
  if (context.Effacer && !context.Deplacer) {
    engine_.RemoveObsoleteEntries(dir_.Path("src"), dir_.Path("dst"));
  }
}

std::vector<std::string> EngineTest::LogBody() const {
  std::vector<std::string> lines;
  const auto text = real_fs_->ReadFile(log_.current_file());
  std::istringstream stream(text.ok() ? *text : "");
  int number = 0;
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (++number > 7) lines.push_back(line);
  }
  return lines;
}

}  // namespace vorn::testing
