#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace vorn::testing {

/// The built vorn executable running as a child process, its standard
/// output and error going to files.
class VornProcess {
 public:
  /// Starts `binary` with `args` in the C locale; `environment` entries are
  /// "NAME=value" additions; `open_files` lowers the open-file limit when not 0.
  VornProcess(const std::string& binary, const std::vector<std::string>& args,
              const std::string& output_folder, const std::vector<std::string>& environment = {},
              rlim_t open_files = 0);
  ~VornProcess();

  void Signal(int number) const;
  /// Waits for the child to end (at most `seconds`); its exit status, or -1
  /// when it was killed or did not end in time (it is then killed).
  int Wait(int seconds = 60);
  std::string Out() const { return ReadAll(out_path_); }
  std::string Err() const { return ReadAll(err_path_); }

 private:
  static std::string ReadAll(const std::string& path);

  pid_t child_ = -1;
  std::string out_path_;
  std::string err_path_;
};

/// Polls `condition` every 20 ms for at most `seconds`; its last answer.
bool WaitFor(const std::function<bool()>& condition, int seconds = 30);

}  // namespace vorn::testing
