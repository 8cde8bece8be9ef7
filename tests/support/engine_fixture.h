#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mirror_engine.h"
#include "platform/fault_injecting_file_system.h"
#include "platform/posix_file_system.h"
#include "support/fakes.h"
#include "support/test_folder.h"

namespace vorn::testing {

/// SystemInfo of the NT family (what Linux is), and of the 95 family.
SystemInfo NtSystem();
SystemInfo Windows95System();

/// A temporary "src" and "dst" tree, the engine and everything around it,
/// over the real file system seen through a fault-injecting decorator.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest();

  /// Adds a pair numbered after the ones before it.
  FolderPair& AddPair(const std::string& source, const std::string& target);
  /// A pair over dir_ "src" and "dst", created as folders.
  FolderPair& AddDefaultPair() { return AddPair(dir_.Path("src"), dir_.Path("dst")); }
  PassEnd Pass(PassKind kind = PassKind::kStartCommand) { return engine_.RunMirrorPass(kind); }
  /// Runs MirrorFolder (and RemoveObsoleteEntries when Effacer) on src/dst
  /// under a pair context, counting from zero.
  void MirrorSrcToDst(const PairContext& context);
  /// The lines of the current daily log, without the seven header lines.
  std::vector<std::string> LogBody() const;
  std::string Src(const std::string& relative) const { return "src/" + relative; }
  std::string Dst(const std::string& relative) const { return "dst/" + relative; }

  TestFolder dir_;
  /// Breaks a copy at a chosen step, as PosixFileSystemOptions::copy_fault.
  std::function<int(platform::CopyStep, uint64_t)> copy_fault_;
  std::unique_ptr<platform::FileSystem> real_fs_ =
      platform::MakePosixFileSystem({[this](platform::CopyStep step, uint64_t offset) {
                                       return copy_fault_ ? copy_fault_(step, offset) : 0;
                                     },
                                     64 * 1024, true});
  platform::FaultInjectingFileSystem fs_{*real_fs_};
  FakeClock clock_;
  SystemInfo system_ = NtSystem();
  MirrorSettings settings_;
  std::vector<FolderPair> pairs_;
  /// Never made: lines that fall back to the application folder are lost.
  DailyLog log_{fs_, settings_, clock_, dir_.Path("app")};
  RecordingHost host_;
  FakeServiceControl service_;
  std::vector<std::string> commands_run_;
  WarningChannels warnings_{host_, log_, &service_, system_, [this](const std::string& command) {
                              commands_run_.push_back(command);
                            }};
  MirrorEngine engine_{MirrorEnvironment{
      fs_, clock_, system_, settings_, pairs_, log_, host_, host_, warnings_, {}, {}}};
};

}  // namespace vorn::testing
