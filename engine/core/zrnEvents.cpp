#include "engine/core/zrnEvents.h"

const char* const ZRNEventNames[11] = {
    "ZRN_EVENT_NONE",    "ZRN_EVENT_QUIT",     "ZRN_EVENT_USER",     "ZRN_DEVICE_RESIZED",
    "ZRN_MOUSE_PRESSED", "ZRN_MOUSE_RELEASED", "ZRN_MOUSE_MOVED",    "ZRN_MOUSE_WHEEL",
    "ZRN_KEY_PRESSED",   "ZRN_KEY_RELEASED",   "ZRN_KEY_CHAR",
};

TZRNEvents& Events() {
  static TZRNEvents queue(16);
  return queue;
}

TZRNEvents::TZRNEvents(int32_t capacity) { SetCapacity(capacity); }

TZRNEvents::~TZRNEvents() { SetCapacity(0); }

void TZRNEvents::Push(const TZRNEvent& event) {
  if (Count >= Capacity) return;
  Slots[static_cast<size_t>(WritePos)] = event;
  WritePos = (WritePos + 1) % Capacity;
  ++Count;
}

bool TZRNEvents::Pop(TZRNEvent& event) {
  if (Count <= 0) return false;
  event = Slots[static_cast<size_t>(ReadPos)];
  ReadPos = (ReadPos + 1) % Capacity;
  --Count;
  return true;
}

void TZRNEvents::SetCapacity(int32_t n) {
  Slots.resize(static_cast<size_t>(n > 0 ? n : 0));
  Capacity = n;
}

void TZRNEvents::SetCount(int32_t n) {
  if (n > Capacity) SetCapacity(n);
  Count = n;
}

TZRNEvent MakeEvent(TZRNEventType kind) {
  TZRNEvent e{};
  e.Kind = kind;
  return e;
}
