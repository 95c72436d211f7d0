// The work of one frame.
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "player/Main.h"

void TDemo::Update() {
  Input->Update();
  Timer->Update();
}

void TDemo::Render() {
  Device->Clear();
  Device->Flip();
}
