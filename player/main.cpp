// Program entry: run the player, log what escapes, always end with status 0.
#include <cerrno>
#include <memory>
#include <string>

#include "engine/device/zrnGlfwLayer.h"
#include "platform/DisplayLoss.h"
#include "platform/Log.h"
#include "platform/Signals.h"
#include "player/Demo.h"
#include "player/EmergencySave.h"

int main(int argc, char** argv) {
  // Log-out, Ctrl+C and kill end through Shutdown, so the options are stored.
  InstallQuitSignals(&ZRNQuitRequested);
  auto demo = std::make_unique<TDemo>();
  // A vanished X server ends Xlib's connection: keep the session all the same.
  OnDisplayLost([player = demo.get()] { SaveSessionNow(*player); });
  demo->Arguments.assign(argv + 1, argv + argc);
  try {
    demo->Run();
  } catch (...) {
    LogLine("Error: " + std::to_string(errno));
  }
  demo->Terminate();
  demo.reset();
  return 0;
}
