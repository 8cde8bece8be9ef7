#include "support/vorn_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace vorn::testing {

VornProcess::VornProcess(const std::string& binary, const std::vector<std::string>& args,
                         const std::string& output_folder,
                         const std::vector<std::string>& environment, rlim_t open_files)
    : out_path_(output_folder + "/stdout"), err_path_(output_folder + "/stderr") {
  // Built in the parent: the child of a threaded process should allocate little.
  std::vector<char*> argv{const_cast<char*>(binary.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // Opened before the fork: a reader that looks at once must never find
  // what an earlier process left in the same files.
  const int out = ::open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = ::open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  child_ = ::fork();
  if (child_ != 0) {
    ::close(out);
    ::close(err);
    return;
  }
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::setenv("LC_ALL", "C", 1);
  for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
  if (open_files != 0) {
    const struct rlimit limit = {open_files, open_files};
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

VornProcess::~VornProcess() {
  if (child_ > 0) Wait(0);
}

void VornProcess::Signal(int number) const {
  if (child_ > 0) ::kill(child_, number);
}

int VornProcess::Wait(int seconds) {
  if (child_ <= 0) return -1;
  int status = 0;
  if (!WaitFor([&] { return ::waitpid(child_, &status, WNOHANG) != 0; }, seconds)) {
    ::kill(child_, SIGKILL);  // then the status tells of the signal, not an exit
    ::waitpid(child_, &status, 0);
  }
  child_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string VornProcess::ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool WaitFor(const std::function<bool()>& condition, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace vorn::testing
