// Start-up and shutdown of the player.
#include <cstdio>
#include <cstdlib>

#include "engine/assets/zrnFreeImage.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "engine/device/zrnOpenGL.h"
#include "platform/InfoBox.h"
#include "platform/ProgramDir.h"
#include "platform/SingleInstance.h"
#include "player/Demo.h"
#include "player/DesktopLink.h"
#include "player/Options.h"
#include "player/Visualizer.h"

void TDemo::Init() {
  // One copy at a time: a second start hands its files to the running copy and ends here,
  // before any window or file is touched.
  if (AcquireSingleInstance() == TInstanceLock::HeldByOther) std::exit(HandFilesToRunningCopy(Arguments));

  // Data files are found beside the program; no track is loaded yet.
  ProgramDir = ExecutableDir();
  CurrentFile.clear();

  // Version box instead of the player.
  if (!Arguments.empty() && IsInfoSwitch(Arguments[0])) {
    const std::string text = VersionText();
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    const char* display = std::getenv("DISPLAY");
    if (display && *display) ShowInfoBox(text, WindowHandle, true);
    std::exit(0);
  }

  // Language and the options file.
  OpenOptions();

  // Device and the full-screen window at the desktop's size. The options file may name a
  // renderer; there is only one, so it is not read.
  Device = MakeOwned<TZRNDevice>();
  int32_t width = 800;
  int32_t height = 600;
  ZRNPrimaryScreenSize(width, height);
  Device->Initialize("Sonavarium", width, height, true);
  Screen = TScreen::OfSize(width, height);
  Ui = MakeUiScale(ChooseUiScaleFactor(std::getenv("SONAVARIUM_SCALE"), std::getenv("GDK_SCALE"),
                                       ZRNPrimaryContentScale(), width, height));
  WindowHandle = ZRNNativeWindowHandle();

  // Playlist, shuffle, volume, stored track; the audio engine.
  RestoreSettings();
  // The picture codecs, before the first picture file is read.
  RegisterFreeImageCodecs();
  // Camera, images, animations, input, canvas, particles, font, hot keys, mouse.
  LoadScene();
  CreateVisualizer(*this);
  // The frame clock starts; no menu click is pending.
  Timer = MakeOwned<TZRNTimer>();
  MenuLatch = false;
  // Visualization, stored track and position, playing or paused; files from the command line.
  RestoreTrack();
  Desktop = MakeOwned<TDesktopLink>(*this);
}

void TDemo::Shutdown() {
  Desktop.reset();
  // Pictures go first, while the device they were uploaded to still exists.
  Images.reset();
  // Settings, playlist and resume point; the stream and the audio engine.
  StoreSession();
  // Destroying the device closes the window.
  Device.reset();
}
