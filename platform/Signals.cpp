#include "platform/Signals.h"

#include <signal.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>

namespace {
volatile std::sig_atomic_t* QuitFlag = nullptr;
// Monotonic milliseconds of the first quit signal, 0 before it (lock-free, so signal-safe).
std::atomic<int64_t> FirstSignalMs{0};
std::atomic<int64_t> GraceMs{0};
static_assert(std::atomic<int64_t>::is_always_lock_free);

int64_t MonotonicMs() {
  timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000 + 1;  // never 0
}

extern "C" void OnQuitSignal(int sig) {
  if (QuitFlag) *QuitFlag = 1;
  const int64_t now = MonotonicMs();
  int64_t first = 0;
  if (FirstSignalMs.compare_exchange_strong(first, now)) return;
  // A burst of signals must not cut the exit save short; a player still busy after the grace
  // period is taken to hang, and the next signal ends it.
  if (now - first >= GraceMs.load()) {
    signal(sig, SIG_DFL);
    raise(sig);
  }
}
}  // namespace

void InstallQuitSignals(volatile std::sig_atomic_t* flag, long graceSeconds) {
  QuitFlag = flag;
  FirstSignalMs = 0;
  GraceMs = static_cast<int64_t>(graceSeconds) * 1000;
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&action.sa_mask, sig);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}
