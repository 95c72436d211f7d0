// The order of each frame's work: update (end of track, hot keys, timer, visualization,
// particles, camera) and render (scene under the camera, lines, menu and cursor on top).
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "engine/particles/zrnParticles.h"
#include "player/Main.h"
#include "player/Visualizer.h"

void TDemo::Update() {
  CheckTrackEnd();
  HandleHotKeys();
  Timer->Update();
  ++FrameCount;
  const float frameTime = static_cast<float>(Timer->FrameTime);
  // While the menu is open the picture under it stands still.
  if (!MenuLatch) {
    Visualizer->Step();
    ParticleManager->Update(frameTime);
    Camera->Update(true, frameTime);
  }
  if (MenuPage != 0) CursorAnimations->Update(frameTime);
  if (MenuPage == 3 && Playing) PlayAnimations->Update(frameTime);
  Timer->Interval(true);
}

void TDemo::Render() {
  Device->Clear();
  Device->SetViewMatrix(Camera->Matrix);
  ParticleManager->Render();
  Canvas->Flush(false);
  if (MenuPage != 0) {
    Device->SetViewMatrix(IdentityMatrix);
    DrawMenu();  // the page, then the cursor
  }
  Device->Flip();
}
