#pragma once
// Thin layer that gives the engine the key codes, wheel and event semantics of the GLFW 2.x
// interface on top of GLFW 3. The translation is plain code so that it can be tested without a window.
#include <csignal>
#include <cstdint>

#include "engine/core/zrnEvents.h"

// GLFW 2.x key codes the engine uses (printable keys are their upper-case character).
enum : int32_t {
  ZRN_KEY_UNKNOWN = -1,
  ZRN_KEY_SPACE = 32,
  ZRN_KEY_SPECIAL = 256,
  ZRN_KEY_ESC = 257,
  ZRN_KEY_F1 = 258,  // F1..F25 = 258..282
  ZRN_KEY_UP = 283,
  ZRN_KEY_DOWN = 284,
  ZRN_KEY_LEFT = 285,
  ZRN_KEY_RIGHT = 286,
  ZRN_KEY_LSHIFT = 287,
  ZRN_KEY_RSHIFT = 288,
  ZRN_KEY_LCTRL = 289,
  ZRN_KEY_RCTRL = 290,
  ZRN_KEY_LALT = 291,
  ZRN_KEY_RALT = 292,
  ZRN_KEY_TAB = 293,
  ZRN_KEY_ENTER = 294,
  ZRN_KEY_BACKSPACE = 295,
  ZRN_KEY_INSERT = 296,
  ZRN_KEY_DEL = 297,
  ZRN_KEY_PAGEUP = 298,
  ZRN_KEY_PAGEDOWN = 299,
  ZRN_KEY_HOME = 300,
  ZRN_KEY_END = 301,
  ZRN_KEY_KP_0 = 302,  // keypad 0..9 = 302..311
  ZRN_KEY_KP_DIVIDE = 312,
  ZRN_KEY_KP_MULTIPLY = 313,
  ZRN_KEY_KP_SUBTRACT = 314,
  ZRN_KEY_KP_ADD = 315,
  ZRN_KEY_KP_DECIMAL = 316,
  ZRN_KEY_KP_EQUAL = 317,
  ZRN_KEY_KP_ENTER = 318,
  ZRN_KEY_KP_NUM_LOCK = 319,
  ZRN_KEY_CAPS_LOCK = 320,
  ZRN_KEY_SCROLL_LOCK = 321,
  ZRN_KEY_PAUSE = 322,
  ZRN_KEY_LSUPER = 323,
  ZRN_KEY_RSUPER = 324,
  ZRN_KEY_MENU = 325,
};

// GLFW 3 key code -> GLFW 2.x key code; ZRN_KEY_UNKNOWN for keys 2.x did not report.
int32_t ZRNTranslateGlfwKey(int glfw3Key);

// Turns GLFW 3 callback arguments into engine events, keeping the state that 2.x kept for us:
// the shared modifier byte, the last cursor position and the absolute wheel position.
class TZRNGlfwEventTranslator {
 public:
  explicit TZRNGlfwEventTranslator(TZRNEvents& queue) : Queue(queue) {}

  void WindowSize(int width, int height);
  void WindowClose();
  void Key(int glfw3Key, int action);
  void Char(unsigned int codepoint);
  void MouseButton(int button, int action);
  void CursorPos(double x, double y);
  void Scroll(double xOffset, double yOffset);

  TZRNEvents& Queue;
  TZRNShiftStates Shift = 0;
  int32_t LastX = 0;
  int32_t LastY = 0;
  // Scroll offsets summed up; the event carries the integer part, as 2.x's wheel position.
  double WheelOffset = 0;
  int32_t Wheel = 0;
};

// Set from a signal handler (SIGTERM and the like); the renderer turns it into a quit event
// at its next poll. Only ever written with 1 by handlers and cleared by the engine.
extern volatile std::sig_atomic_t ZRNQuitRequested;
// Pushes the quit event for a pending request when the queue has room.
void ZRNDeliverQuitRequest(TZRNEvents& queue);
