#include "platform/audio/AudioClock.h"

#include <signal.h>

namespace {
// Counts SIGCONTs. Process-wide by nature: there is one handler per process.
std::atomic<uint64_t> Continues{0};
static_assert(std::atomic<uint64_t>::is_always_lock_free);

extern "C" void OnContinue(int) { Continues.fetch_add(1); }

void InstallContinueHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = OnContinue;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGCONT, &action, nullptr);
  });
}
}  // namespace

TRunningAudioClock::TRunningAudioClock() {
  InstallContinueHandler();
  FContinuesSeen = Continues.load();
  FLastRaw = FSteady.NowNs();
}

int64_t TRunningAudioClock::NowNs() const {
  std::lock_guard<std::mutex> lock(FMutex);
  const int64_t raw = FSteady.NowNs();
  const uint64_t continues = Continues.load();
  if (continues != FContinuesSeen) {
    FContinuesSeen = continues;
    FStopped += raw - FLastRaw;
  }
  FLastRaw = raw;
  return raw - FStopped;
}
