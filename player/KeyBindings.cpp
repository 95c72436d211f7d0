#include "player/KeyBindings.h"

#include "engine/device/zrnInput.h"

namespace {

// GLFW 2.x key codes.
constexpr int32_t keyEsc = 257;
constexpr int32_t keyF1 = 258;
constexpr int32_t keyTab = 293;
constexpr int32_t keyBackspace = 295;
constexpr int32_t keyInsert = 296;
constexpr int32_t keyDelete = 297;
constexpr int32_t keyPageUp = 298;
constexpr int32_t keyPageDown = 299;
constexpr int32_t keyHome = 300;
constexpr int32_t keyEnd = 301;
constexpr int32_t keyKeypadMinus = 314;
constexpr int32_t keyKeypadPlus = 315;

}  // namespace

void BindHotKeys(TZRNKeyboard& keyboard) {
  keyboard.SetBinding(isButton1, Binding(keyPageUp));
  keyboard.SetBinding(isButton2, Binding(keyPageDown));
  keyboard.SetBinding(isButton10, Binding(keyKeypadMinus));
  keyboard.SetBinding(isButton11, Binding(keyKeypadPlus));
  keyboard.SetBinding(isButton12, Binding('Z'));
  keyboard.SetBinding(isButton13, Binding('B'));
  keyboard.SetBinding(isButton15, Binding(keyHome));
  keyboard.SetBinding(isButton16, Binding(keyEnd));
  keyboard.SetBinding(isButton17, Binding(keyInsert));
  keyboard.SetBinding(isButton18, Binding(keyDelete));
  keyboard.SetBinding(isButton21, Binding('P'));
  keyboard.SetBinding(isButton22, Binding(keyTab));
  keyboard.SetBinding(isButton23, Binding(keyBackspace));
  keyboard.SetBinding(isButton24, Binding('X'));
  keyboard.SetBinding(isButton30, Binding(keyF1));
  keyboard.SetBinding(isButton31, Binding(keyEsc));
  keyboard.SetBinding(isButton32, Binding(' '));
}
