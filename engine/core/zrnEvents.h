#pragma once
// The process-wide first-in-first-out event queue fed by the window callbacks.
#include <cstddef>
#include <cstdint>
#include <vector>

enum TZRNEventType : uint8_t {
  ZRN_EVENT_NONE = 0,
  ZRN_EVENT_QUIT = 1,
  ZRN_EVENT_USER = 2,
  ZRN_DEVICE_RESIZED = 3,
  ZRN_MOUSE_PRESSED = 4,
  ZRN_MOUSE_RELEASED = 5,
  ZRN_MOUSE_MOVED = 6,
  ZRN_MOUSE_WHEEL = 7,
  ZRN_KEY_PRESSED = 8,
  ZRN_KEY_RELEASED = 9,
  ZRN_KEY_CHAR = 10,
};

extern const char* const ZRNEventNames[11];

// One byte of modifier flags.
using TZRNShiftStates = uint8_t;
inline constexpr TZRNShiftStates ssCtrl = 1;
inline constexpr TZRNShiftStates ssAlt = 2;
inline constexpr TZRNShiftStates ssShift = 4;

struct TZRNDeviceEventData {
  int32_t Width, Height;
};
struct TZRNMouseEventData {
  int32_t X, Y, Button;
  TZRNShiftStates Shift;
};
struct TZRNKeyEventData {
  int32_t Key;
  TZRNShiftStates Shift;
};

// Plain value record; the payload layout depends on Kind.
struct TZRNEvent {
  TZRNEventType Kind;
  union {
    TZRNDeviceEventData Device;
    TZRNMouseEventData Mouse;
    TZRNKeyEventData Keyboard;
  };
};

class TZRNEvents {
 public:
  explicit TZRNEvents(int32_t capacity);
  ~TZRNEvents();

  // A full queue drops the new event.
  void Push(const TZRNEvent& event);
  bool Pop(TZRNEvent& event);
  void SetCapacity(int32_t n);
  void SetCount(int32_t n);

  int32_t Count = 0;
  int32_t Capacity = 0;
  int32_t WritePos = 0;
  int32_t ReadPos = 0;
  std::vector<TZRNEvent> Slots;
};

// The queue of the process: window callbacks and signal handlers feed it, the frame loop empties it.
TZRNEvents& Events();

// Convenience constructors for producers.
TZRNEvent MakeEvent(TZRNEventType kind);
