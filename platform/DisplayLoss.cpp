#include "platform/DisplayLoss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

namespace {
std::function<void()>& SaveOnLoss() {
  static std::function<void()> save;
  return save;
}

extern "C" int OnXIOError(Display*) {
  // Once only: anything the save does must not bring us back here.
  std::function<void()> save = std::move(SaveOnLoss());
  SaveOnLoss() = nullptr;
  try {
    if (save) save();
  } catch (...) {
  }
  std::fflush(nullptr);
  // Not exit(): handlers registered with atexit would talk to the lost display again.
  _exit(0);
}
}  // namespace

void OnDisplayLost(std::function<void()> save) {
  SaveOnLoss() = std::move(save);
  XSetIOErrorHandler(OnXIOError);
}
