// Program entry: run the player, log what escapes, always end with status 0.
#include <cerrno>
#include <memory>
#include <string>

#include "engine/device/zrnGlfwLayer.h"
#include "platform/DisplayLoss.h"
#include "platform/Log.h"
#include "platform/ProgramDir.h"
#include "platform/Signals.h"
#include "player/EmergencySave.h"
#include "player/Main.h"

int main(int argc, char** argv) {
  // Log-out, Ctrl+C and kill end through Shutdown, so the options are stored.
  InstallQuitSignals(&ZRNQuitRequested);
  ProgramDir = ExecutableDir();
  auto demo = std::make_unique<TDemo>();
  App = demo.get();
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
  App = nullptr;
  return 0;
}
