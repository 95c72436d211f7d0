// Start-up and shutdown of the player.
#include <cstdio>
#include <cstdlib>

#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "engine/device/zrnOpenGL.h"
#include "platform/InfoBox.h"
#include "platform/ProgramDir.h"
#include "platform/SingleInstance.h"
#include "player/Main.h"

void TDemo::Init() {
  // 1. One copy at a time: a second start ends here, before any window or file is touched.
  if (AcquireSingleInstance() == TInstanceLock::HeldByOther) std::exit(0);

  // 2.
  ProgramDir = ExecutableDir();
  CurrentFile.clear();

  // 3. Version box instead of the player.
  if (!Arguments.empty() && IsInfoSwitch(Arguments[0])) {
    const std::string text = VersionText();
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    const char* display = std::getenv("DISPLAY");
    if (display && *display) ShowInfoBox(text, WindowHandle, true);
    std::exit(0);
  }

  // 5.-9. Device and the full-screen window at the desktop's size.
  Device = MakeOwned<TZRNDevice>("");
  int32_t width = 800;
  int32_t height = 600;
  ZRNPrimaryScreenSize(width, height);
  Device->Initialize("Sonavarium", width, height, true);
  CenterX = static_cast<uint16_t>(width / 2);
  CenterY = static_cast<uint16_t>(height / 2);
  ScaleX = static_cast<float>(width) / 800.0f;
  ScaleY = static_cast<float>(height) / 600.0f;
  WindowHandle = ZRNNativeWindowHandle();

  // 21. Input.
  Input = MakeOwned<TZRNInput>();
  // 26. Timer.
  Timer = MakeOwned<TZRNTimer>();
}

void TDemo::Shutdown() {
  // 7. Destroying the device closes the window.
  Device.reset();
}
