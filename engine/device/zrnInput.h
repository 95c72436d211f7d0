#pragma once
// Keyboard and mouse state polled once per frame, with keys bound to logical inputs.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/zrnEvents.h"

enum TZRNInputState : uint8_t {
  isUp,
  isDown,
  isLeft,
  isRight,
  isShift,
  isCtrl,
  isAlt,
  isButton1,  // isButton1 .. isButton32 = 7 .. 38
  isButton32 = isButton1 + 31,
};
inline constexpr int ZRNInputStateCount = 39;
extern const char* const ZRNInputStateNames[ZRNInputStateCount];

// Set of input states: bit n of byte k is state 8k + n.
struct TZRNInputStates {
  uint8_t Bits[5] = {};

  bool Contains(TZRNInputState s) const { return (Bits[s >> 3] >> (s & 7)) & 1; }
  void Include(TZRNInputState s) { Bits[s >> 3] = static_cast<uint8_t>(Bits[s >> 3] | (1u << (s & 7))); }
  void Exclude(TZRNInputState s) { Bits[s >> 3] = static_cast<uint8_t>(Bits[s >> 3] & ~(1u << (s & 7))); }
  void Clear() { *this = TZRNInputStates{}; }
  bool Empty() const { return !(Bits[0] | Bits[1] | Bits[2] | Bits[3] | Bits[4]); }
  TZRNInputStates& operator|=(const TZRNInputStates& other) {
    for (int i = 0; i < 5; ++i) Bits[i] = static_cast<uint8_t>(Bits[i] | other.Bits[i]);
    return *this;
  }
  bool operator==(const TZRNInputStates&) const = default;
};
static_assert(sizeof(TZRNInputStates) == 5);

// Up to three GLFW 2.x key codes; -1 = no key.
struct TZRNKeyBinding {
  int32_t Key1 = 0;
  int32_t Key2 = 0;
  int32_t Key3 = 0;
  bool Holds(int32_t key) const { return Key1 == key || Key2 == key || Key3 == key; }
};
TZRNKeyBinding Binding(int32_t k1);
TZRNKeyBinding Binding(int32_t k1, int32_t k2);
TZRNKeyBinding Binding(int32_t k1, int32_t k2, int32_t k3);

class TZRNInputDevice {
 public:
  virtual ~TZRNInputDevice() = default;
  virtual void SetEnabled(bool value) { Enabled = value; }
  virtual void Update() {}
  virtual void HandleEvent(const TZRNEvent& event) = 0;

  TZRNInputStates States;
  bool Enabled = true;
  bool Merged = false;
};

class TZRNKeyboard : public TZRNInputDevice {
 public:
  static constexpr int32_t KeyCount = 65535;

  TZRNKeyboard();
  void SetBinding(TZRNInputState state, const TZRNKeyBinding& binding) { Bindings[state] = binding; }
  void HandleEvent(const TZRNEvent& event) override;
  // Applies releases held back for presses the previous Update already showed.
  void Update() override;

  std::array<TZRNKeyBinding, ZRNInputStateCount> Bindings{};
  std::vector<bool> Keys = std::vector<bool>(KeyCount, false);

 private:
  void Press(TZRNInputState state);
  void Release(TZRNInputState state);

  // A key pressed and released between two Updates must still be seen once: its release waits
  // until an Update has shown the press.
  TZRNInputStates Unseen;        // pressed since the last Update
  TZRNInputStates HeldBack;      // released before any Update saw the press
  TZRNInputStates ReleaseDue;    // held back, seen by the last Update: cleared by the next
};

class TZRNMouse : public TZRNInputDevice {
 public:
  void SetBounds(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);
  void HandleEvent(const TZRNEvent& event) override;

  int32_t X = 0, Y = 0;
  int32_t LastX = 0, LastY = 0;
  int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  float Sensitivity = 1.0f;
  int32_t Wheel = 0;
};

class TZRNInput {
 public:
  TZRNInput();
  void HandleEvent(const TZRNEvent& event);
  void Update();
  // Fresh devices: bindings, bounds and sensitivity back to their defaults.
  void Reset();

  std::vector<std::unique_ptr<TZRNInputDevice>> Devices;
  TZRNInputStates States;
  TZRNKeyboard* Keyboard = nullptr;
  TZRNMouse* Mouse = nullptr;

 private:
  void CreateDevices();
};
