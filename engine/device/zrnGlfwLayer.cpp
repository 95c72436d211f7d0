#include "engine/device/zrnGlfwLayer.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>
#include <limits>

volatile std::sig_atomic_t ZRNQuitRequested = 0;

int32_t ZRNTranslateGlfwKey(int key) {
  // Printable keys already are their (unshifted, upper-case) character in both versions.
  if (key >= GLFW_KEY_SPACE && key <= GLFW_KEY_WORLD_2) return key;
  if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F25) return ZRN_KEY_F1 + (key - GLFW_KEY_F1);
  if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return ZRN_KEY_KP_0 + (key - GLFW_KEY_KP_0);
  switch (key) {
    case GLFW_KEY_ESCAPE: return ZRN_KEY_ESC;
    case GLFW_KEY_UP: return ZRN_KEY_UP;
    case GLFW_KEY_DOWN: return ZRN_KEY_DOWN;
    case GLFW_KEY_LEFT: return ZRN_KEY_LEFT;
    case GLFW_KEY_RIGHT: return ZRN_KEY_RIGHT;
    case GLFW_KEY_LEFT_SHIFT: return ZRN_KEY_LSHIFT;
    case GLFW_KEY_RIGHT_SHIFT: return ZRN_KEY_RSHIFT;
    case GLFW_KEY_LEFT_CONTROL: return ZRN_KEY_LCTRL;
    case GLFW_KEY_RIGHT_CONTROL: return ZRN_KEY_RCTRL;
    case GLFW_KEY_LEFT_ALT: return ZRN_KEY_LALT;
    case GLFW_KEY_RIGHT_ALT: return ZRN_KEY_RALT;
    case GLFW_KEY_TAB: return ZRN_KEY_TAB;
    case GLFW_KEY_ENTER: return ZRN_KEY_ENTER;
    case GLFW_KEY_BACKSPACE: return ZRN_KEY_BACKSPACE;
    case GLFW_KEY_INSERT: return ZRN_KEY_INSERT;
    case GLFW_KEY_DELETE: return ZRN_KEY_DEL;
    case GLFW_KEY_PAGE_UP: return ZRN_KEY_PAGEUP;
    case GLFW_KEY_PAGE_DOWN: return ZRN_KEY_PAGEDOWN;
    case GLFW_KEY_HOME: return ZRN_KEY_HOME;
    case GLFW_KEY_END: return ZRN_KEY_END;
    case GLFW_KEY_KP_DIVIDE: return ZRN_KEY_KP_DIVIDE;
    case GLFW_KEY_KP_MULTIPLY: return ZRN_KEY_KP_MULTIPLY;
    case GLFW_KEY_KP_SUBTRACT: return ZRN_KEY_KP_SUBTRACT;
    case GLFW_KEY_KP_ADD: return ZRN_KEY_KP_ADD;
    case GLFW_KEY_KP_DECIMAL: return ZRN_KEY_KP_DECIMAL;
    case GLFW_KEY_KP_EQUAL: return ZRN_KEY_KP_EQUAL;
    case GLFW_KEY_KP_ENTER: return ZRN_KEY_KP_ENTER;
    case GLFW_KEY_NUM_LOCK: return ZRN_KEY_KP_NUM_LOCK;
    case GLFW_KEY_CAPS_LOCK: return ZRN_KEY_CAPS_LOCK;
    case GLFW_KEY_SCROLL_LOCK: return ZRN_KEY_SCROLL_LOCK;
    case GLFW_KEY_PAUSE: return ZRN_KEY_PAUSE;
    case GLFW_KEY_LEFT_SUPER: return ZRN_KEY_LSUPER;
    case GLFW_KEY_RIGHT_SUPER: return ZRN_KEY_RSUPER;
    case GLFW_KEY_MENU: return ZRN_KEY_MENU;
    default: return ZRN_KEY_UNKNOWN;  // Print Screen and keys without a code
  }
}

namespace {
TZRNShiftStates ModifierOf(int32_t key) {
  switch (key) {
    case ZRN_KEY_LSHIFT:
    case ZRN_KEY_RSHIFT: return ssShift;
    case ZRN_KEY_LCTRL:
    case ZRN_KEY_RCTRL: return ssCtrl;
    case ZRN_KEY_LALT:
    case ZRN_KEY_RALT: return ssAlt;
    default: return 0;
  }
}

// Disabled-cursor positions are virtual and unbounded; keep them inside int32.
int32_t ToPixel(double v) {
  if (!(v == v)) return 0;
  const double lo = std::numeric_limits<int32_t>::min();
  const double hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::floor(v < lo ? lo : (v > hi ? hi : v)));
}
}  // namespace

void TZRNGlfwEventTranslator::WindowSize(int width, int height) {
  TZRNEvent e = MakeEvent(ZRN_DEVICE_RESIZED);
  e.Device.Width = width;
  e.Device.Height = height;
  Queue.Push(e);
}

void TZRNGlfwEventTranslator::WindowClose() { Queue.Push(MakeEvent(ZRN_EVENT_QUIT)); }

void TZRNGlfwEventTranslator::Key(int glfw3Key, int action) {
  // Auto-repeat (GLFW_REPEAT) was not reported by 2.x.
  if (action != GLFW_PRESS && action != GLFW_RELEASE) return;
  const int32_t key = ZRNTranslateGlfwKey(glfw3Key);
  if (key == ZRN_KEY_UNKNOWN) return;
  // Left and right share one flag: releasing either clears it.
  const TZRNShiftStates flag = ModifierOf(key);
  if (action == GLFW_PRESS) {
    Shift = static_cast<TZRNShiftStates>(Shift | flag);
  } else {
    Shift = static_cast<TZRNShiftStates>(Shift & ~flag);
  }
  TZRNEvent e = MakeEvent(action == GLFW_PRESS ? ZRN_KEY_PRESSED : ZRN_KEY_RELEASED);
  e.Keyboard.Key = key;
  e.Keyboard.Shift = Shift;
  Queue.Push(e);
}

void TZRNGlfwEventTranslator::Char(unsigned int codepoint) {
  // Nothing reads the character; it rides along in Key for whoever wants it.
  TZRNEvent e = MakeEvent(ZRN_KEY_CHAR);
  e.Keyboard.Key = static_cast<int32_t>(codepoint);
  e.Keyboard.Shift = Shift;
  Queue.Push(e);
}

void TZRNGlfwEventTranslator::MouseButton(int button, int action) {
  if (action != GLFW_PRESS && action != GLFW_RELEASE) return;
  TZRNEvent e = MakeEvent(action == GLFW_PRESS ? ZRN_MOUSE_PRESSED : ZRN_MOUSE_RELEASED);
  e.Mouse.X = LastX;
  e.Mouse.Y = LastY;
  e.Mouse.Button = button;
  e.Mouse.Shift = Shift;
  Queue.Push(e);
}

void TZRNGlfwEventTranslator::CursorPos(double x, double y) {
  TZRNEvent e = MakeEvent(ZRN_MOUSE_MOVED);
  e.Mouse.X = ToPixel(x);
  e.Mouse.Y = ToPixel(y);
  Queue.Push(e);
  LastX = e.Mouse.X;
  LastY = e.Mouse.Y;
}

void TZRNGlfwEventTranslator::Scroll(double /*xOffset*/, double yOffset) {
  // 2.x reported an absolute count that changed by whole notches; smooth scrolling devices
  // send fractions, which add up until they make a notch.
  WheelOffset += yOffset;
  const int32_t position = ToPixel(std::trunc(WheelOffset));
  if (position == Wheel) return;
  Wheel = position;
  TZRNEvent e = MakeEvent(ZRN_MOUSE_WHEEL);
  e.Mouse.Button = Wheel;
  Queue.Push(e);
}

void ZRNDeliverQuitRequest(TZRNEvents& queue) {
  if (!ZRNQuitRequested || queue.Count >= queue.Capacity) return;
  ZRNQuitRequested = 0;
  queue.Push(MakeEvent(ZRN_EVENT_QUIT));
}
