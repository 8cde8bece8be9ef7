#include <signal.h>

#include "platform/signals.h"

namespace vorn::platform {
namespace {

volatile sig_atomic_t flags[4] = {0, 0, 0, 0};

void OnSignal(int number) {
  switch (number) {
    case SIGINT:
    case SIGTERM:
      flags[static_cast<int>(ProcessSignal::kStop)] = 1;
      break;
    case SIGTSTP:
      flags[static_cast<int>(ProcessSignal::kPause)] = 1;
      break;
    case SIGCONT:
      flags[static_cast<int>(ProcessSignal::kContinue)] = 1;
      break;
    case SIGHUP:
      flags[static_cast<int>(ProcessSignal::kReload)] = 1;
      break;
    default:
      break;
  }
}

void Catch(int number) {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(number, &action, nullptr);
}

}  // namespace

void CatchProcessSignals(bool pause_and_continue) {
  Catch(SIGINT);
  Catch(SIGTERM);
  if (pause_and_continue) {
    Catch(SIGTSTP);
    Catch(SIGCONT);
  }
}

void CatchReloadSignal() {
  Catch(SIGHUP);
}

bool TakeSignal(ProcessSignal signal) {
  const int index = static_cast<int>(signal);
  if (flags[index] == 0) return false;
  if (signal != ProcessSignal::kStop) flags[index] = 0;
  return true;
}

bool StopRequested() {
  return flags[static_cast<int>(ProcessSignal::kStop)] != 0;
}

void ClearSignals() {
  for (auto& flag : flags) flag = 0;
}

}  // namespace vorn::platform
