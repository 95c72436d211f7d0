// Start-up and shutdown of the player.
#include <cstdio>
#include <cstdlib>

#include "engine/device/zrnDevice.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnInput.h"
#include "engine/device/zrnOpenGL.h"
#include "platform/InfoBox.h"
#include "platform/ProgramDir.h"
#include "platform/SingleInstance.h"
#include "player/DesktopLink.h"
#include "player/Main.h"
#include "player/Options.h"
#include "player/Visualizer.h"

void TDemo::Init() {
  // 1. One copy at a time: a second start hands its files to the running copy and ends here,
  // before any window or file is touched.
  if (AcquireSingleInstance() == TInstanceLock::HeldByOther) std::exit(HandFilesToRunningCopy(Arguments));

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

  // 4. Language and the options file.
  OpenOptions();

  // 5.-9. Device and the full-screen window at the desktop's size. The renderer library the
  // options name is accepted and ignored: there is one renderer.
  const int32_t dev = Options->ReadDevice();
  Device = MakeOwned<TZRNDevice>(dev == 1 ? "ZarnithD3D9.dll" : dev == 2 ? "ZarnithOpenGL.dll" : "");
  int32_t width = 800;
  int32_t height = 600;
  ZRNPrimaryScreenSize(width, height);
  Device->Initialize("Sonavarium", width, height, true);
  CenterX = static_cast<uint16_t>(width / 2);
  CenterY = static_cast<uint16_t>(height / 2);
  ScaleX = static_cast<float>(width) / 800.0f;
  ScaleY = static_cast<float>(height) / 600.0f;
  WindowHandle = ZRNNativeWindowHandle();

  // 10.-13. Playlist, shuffle, volume, stored track; the audio engine.
  RestoreSettings();
  // 14.-25. Camera, images, animations, input, canvas, particles, font, hot keys, mouse.
  LoadScene();
  CreateVisualizer(*this);
  // 26.-27.
  Timer = MakeOwned<TZRNTimer>();
  MenuLatch = false;
  // 28.-31. Visualization, stored track and position, playing or paused; files from the command line.
  RestoreTrack();
  Desktop = MakeOwned<TDesktopLink>(*this);
}

void TDemo::Shutdown() {
  Desktop.reset();
  // 1.
  Images.reset();
  // 2.-6. Settings, playlist and resume point; the stream and the audio engine.
  StoreSession();
  // 7. Destroying the device closes the window.
  Device.reset();
}
