#include "platform/Signals.h"

#include <initializer_list>

namespace {
volatile std::sig_atomic_t* QuitFlag = nullptr;

extern "C" void OnQuitSignal(int) {
  if (QuitFlag) *QuitFlag = 1;
}
}  // namespace

void InstallQuitSignals(volatile std::sig_atomic_t* flag) {
  QuitFlag = flag;
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}
