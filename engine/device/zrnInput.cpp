#include "engine/device/zrnInput.h"

#include <algorithm>

#include "engine/core/zrnMath.h"

const char* const ZRNInputStateNames[ZRNInputStateCount] = {
    "isUp",       "isDown",     "isLeft",     "isRight",    "isShift",    "isCtrl",     "isAlt",
    "isButton1",  "isButton2",  "isButton3",  "isButton4",  "isButton5",  "isButton6",  "isButton7",
    "isButton8",  "isButton9",  "isButton10", "isButton11", "isButton12", "isButton13", "isButton14",
    "isButton15", "isButton16", "isButton17", "isButton18", "isButton19", "isButton20", "isButton21",
    "isButton22", "isButton23", "isButton24", "isButton25", "isButton26", "isButton27", "isButton28",
    "isButton29", "isButton30", "isButton31", "isButton32",
};

TZRNKeyBinding Binding(int32_t k1) { return {k1, -1, -1}; }
TZRNKeyBinding Binding(int32_t k1, int32_t k2) { return {k1, k2, -1}; }
TZRNKeyBinding Binding(int32_t k1, int32_t k2, int32_t k3) { return {k1, k2, k3}; }

// ---- keyboard ----

TZRNKeyboard::TZRNKeyboard() {
  // Arrows, WASD and the keypad arrows steer; Space / keypad 0 and Enter / keypad 5 act.
  Bindings[isUp] = Binding(283, 'W', 310);
  Bindings[isDown] = Binding(284, 'S', 304);
  Bindings[isLeft] = Binding(285, 'A', 306);
  Bindings[isRight] = Binding(286, 'D', 308);
  Bindings[isShift] = Binding(287, 288);
  Bindings[isCtrl] = Binding(289, 290);
  Bindings[isAlt] = Binding(291, 292);
  Bindings[isButton1] = Binding(' ', 302);
  Bindings[isButton1 + 1] = Binding(294, 307);
}

void TZRNKeyboard::HandleEvent(const TZRNEvent& event) {
  if (!Enabled) return;
  if (event.Kind != ZRN_KEY_PRESSED && event.Kind != ZRN_KEY_RELEASED) return;
  const bool down = event.Kind == ZRN_KEY_PRESSED;
  const int32_t key = event.Keyboard.Key;
  for (int s = 0; s < ZRNInputStateCount; ++s) {
    if (!Bindings[s].Holds(key)) continue;
    // Releasing any one key of a state clears it, even while another of its keys is held.
    if (down) Press(static_cast<TZRNInputState>(s));
    else Release(static_cast<TZRNInputState>(s));
  }
  if (key >= 0 && key < KeyCount) Keys[static_cast<size_t>(key)] = down;
}

void TZRNKeyboard::Press(TZRNInputState state) {
  States.Include(state);
  Unseen.Include(state);
  HeldBack.Exclude(state);
  ReleaseDue.Exclude(state);
}

void TZRNKeyboard::Release(TZRNInputState state) {
  if (Unseen.Contains(state)) HeldBack.Include(state);
  else States.Exclude(state);
}

void TZRNKeyboard::Update() {
  for (int s = 0; s < ZRNInputStateCount; ++s)
    if (ReleaseDue.Contains(static_cast<TZRNInputState>(s))) States.Exclude(static_cast<TZRNInputState>(s));
  ReleaseDue = HeldBack;
  HeldBack.Clear();
  Unseen.Clear();
}

// ---- mouse ----

void TZRNMouse::SetBounds(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  MinX = minX;
  MinY = minY;
  MaxX = maxX;
  MaxY = maxY;
}

void TZRNMouse::HandleEvent(const TZRNEvent& event) {
  if (!Enabled) return;
  switch (event.Kind) {
    case ZRN_MOUSE_PRESSED:
    case ZRN_MOUSE_RELEASED: {
      const int32_t button = event.Mouse.Button;
      if (button < 0 || button > 7) return;
      const auto state = static_cast<TZRNInputState>(isButton1 + button);
      if (event.Kind == ZRN_MOUSE_PRESSED) States.Include(state);
      else States.Exclude(state);
      return;
    }
    case ZRN_MOUSE_MOVED: {
      // Relative motion, scaled: the pointer need not follow the window position one to one.
      int32_t newX = X - static_cast<int32_t>(Round(static_cast<double>(LastX - event.Mouse.X) * Sensitivity));
      int32_t newY = Y - static_cast<int32_t>(Round(static_cast<double>(LastY - event.Mouse.Y) * Sensitivity));
      if (MaxY != MinY || MaxX != MinX) {
        newX = std::max(newX, MinX);
        newY = std::max(newY, MinY);
        newX = std::min(newX, MaxX);
        newY = std::min(newY, MaxY);
      }
      X = newX;
      Y = newY;
      LastX = event.Mouse.X;
      LastY = event.Mouse.Y;
      return;
    }
    case ZRN_MOUSE_WHEEL:
      Wheel = event.Mouse.Button;
      return;
    default:
      return;
  }
}

// ---- input ----

TZRNInput::TZRNInput() { CreateDevices(); }

void TZRNInput::CreateDevices() {
  auto keyboard = std::make_unique<TZRNKeyboard>();
  keyboard->Merged = true;
  auto mouse = std::make_unique<TZRNMouse>();
  mouse->Merged = false;
  mouse->Sensitivity = 1.0f;
  Keyboard = keyboard.get();
  Mouse = mouse.get();
  Devices.push_back(std::move(keyboard));
  Devices.push_back(std::move(mouse));
}

void TZRNInput::HandleEvent(const TZRNEvent& event) {
  for (auto& device : Devices) device->HandleEvent(event);
}

void TZRNInput::Update() {
  States.Clear();
  for (auto& device : Devices) {
    device->Update();
    if (device->Merged) States |= device->States;
  }
}

void TZRNInput::Reset() {
  Keyboard = nullptr;
  Mouse = nullptr;
  Devices.clear();
  CreateDevices();
}
