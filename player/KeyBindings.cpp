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
  keyboard.SetBinding(hkPreviousVisualization, Binding(keyPageUp));
  keyboard.SetBinding(hkNextVisualization, Binding(keyPageDown));
  keyboard.SetBinding(hkPreviousTrackKeypad, Binding(keyKeypadMinus));
  keyboard.SetBinding(hkNextTrackKeypad, Binding(keyKeypadPlus));
  keyboard.SetBinding(hkPreviousTrack, Binding('Z'));
  keyboard.SetBinding(hkNextTrack, Binding('B'));
  keyboard.SetBinding(hkPlaylistTop, Binding(keyHome));
  keyboard.SetBinding(hkPlaylistBottom, Binding(keyEnd));
  keyboard.SetBinding(hkAddFiles, Binding(keyInsert));
  keyboard.SetBinding(hkDeleteEntry, Binding(keyDelete));
  keyboard.SetBinding(hkPlaylistPageP, Binding('P'));
  keyboard.SetBinding(hkPlaylistPageTab, Binding(keyTab));
  keyboard.SetBinding(hkRestartBackspace, Binding(keyBackspace));
  keyboard.SetBinding(hkRestartX, Binding('X'));
  keyboard.SetBinding(hkHelpPage, Binding(keyF1));
  keyboard.SetBinding(hkMenu, Binding(keyEsc));
  keyboard.SetBinding(hkPlayPause, Binding(' '));
}
