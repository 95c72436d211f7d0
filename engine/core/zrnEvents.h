#pragma once
// The process-wide first-in-first-out event queue fed by the window callbacks.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
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
  ZRN_FILES_DROPPED = 11,  // the paths wait in the queue's DroppedFiles
};

extern const char* const ZRNEventNames[12];

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
  // Queues ZRN_FILES_DROPPED with its paths (dropped with them when the queue is full).
  void PushDroppedFiles(std::vector<std::string> paths);
  // The paths of the oldest ZRN_FILES_DROPPED not yet taken; empty when there are none.
  std::vector<std::string> TakeDroppedFiles();
  void SetCapacity(int32_t n);
  void SetCount(int32_t n);

  int32_t Count = 0;
  int32_t Capacity = 0;
  int32_t WritePos = 0;
  int32_t ReadPos = 0;
  std::vector<TZRNEvent> Slots;
  // Paths do not fit an event record; they wait here in the order of their events.
  std::deque<std::vector<std::string>> DroppedFiles;
};

// The queue of the process: window callbacks and signal handlers feed it, the frame loop empties it.
TZRNEvents& Events();

// Convenience constructors for producers.
TZRNEvent MakeEvent(TZRNEventType kind);
