// The order of each frame's work: update (end of track, hot keys, timer, visualization,
// particles, camera) and render (scene under the camera, lines, menu and cursor on top).
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "engine/particles/zrnParticles.h"
#include "player/Demo.h"
#include "player/DesktopLink.h"
#include "player/Playlist.h"
#include "player/Visualizer.h"

void TDemo::Update() {
  Playlist->ApplyTags();
  CheckTrackEnd();
  HandleHotKeys();
  if (Desktop) Desktop->Poll();
  Timer->Update();
  ++FrameCount;
  const float frameTime = static_cast<float>(Timer->FrameTime);
  // While the menu is open the picture under it stands still.
  if (!MenuLatch) {
    Visualizer->Step();
    ParticleManager->Update(frameTime);
    Camera->Update(true, frameTime);
  }
  if (MenuPage != mpClosed) CursorAnimations->Update(frameTime);
  if (MenuPage == mpPlaylist && Playing) PlayAnimations->Update(frameTime);
  Timer->Interval(true);
}

void TDemo::Render() {
  Device->Clear();
  Device->SetViewMatrix(Camera->Matrix);
  ParticleManager->Render();
  Canvas->Flush(false);
  if (MenuPage != mpClosed) {
    Device->SetViewMatrix(IdentityMatrix);
    DrawMenu();  // the page, then the cursor
  }
  Device->Flip();
  if (FrameCount == 1) ReportFirstFrame();
}

// Start-up is measured from outside: when SONAVARIUM_STARTUP_PROBE names a file, the monotonic
// time of the first presented frame is written there.
void TDemo::ReportFirstFrame() {
  const char* probe = std::getenv("SONAVARIUM_STARTUP_PROBE");
  if (!probe || !*probe) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (std::FILE* f = std::fopen(probe, "w")) {
    std::fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fclose(f);
  }
}
