#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/terminal.h"

namespace vorn::platform {
namespace {

volatile sig_atomic_t stop_requested = 0;

void OnStopSignal(int) {
  stop_requested = 1;
}

}  // namespace

bool IsTerminal(Stream stream) {
  return ::isatty(static_cast<int>(stream)) == 1;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
  return stop_requested != 0;
}

void ClearStopRequest() {
  stop_requested = 0;
}

}  // namespace vorn::platform
