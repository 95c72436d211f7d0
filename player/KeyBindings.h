#pragma once
// The player's hot keys on the keyboard's input states.
#include "engine/device/zrnInput.h"

// The logical input "isButton<number>", number 1..32.
constexpr TZRNInputState InputButton(int number) { return static_cast<TZRNInputState>(isButton1 + number - 1); }

// What each bound state means to the player (the arrow states keep their engine meaning).
inline constexpr TZRNInputState hkPreviousVisualization = InputButton(1);  // Page Up
inline constexpr TZRNInputState hkNextVisualization = InputButton(2);      // Page Down
inline constexpr TZRNInputState hkPreviousTrackKeypad = InputButton(10);   // keypad minus
inline constexpr TZRNInputState hkNextTrackKeypad = InputButton(11);       // keypad plus
inline constexpr TZRNInputState hkPreviousTrack = InputButton(12);         // Z
inline constexpr TZRNInputState hkNextTrack = InputButton(13);             // B
inline constexpr TZRNInputState hkPlaylistTop = InputButton(15);           // Home
inline constexpr TZRNInputState hkPlaylistBottom = InputButton(16);        // End
inline constexpr TZRNInputState hkAddFiles = InputButton(17);              // Insert
inline constexpr TZRNInputState hkDeleteEntry = InputButton(18);           // Delete
inline constexpr TZRNInputState hkPlaylistPageP = InputButton(21);         // P
inline constexpr TZRNInputState hkPlaylistPageTab = InputButton(22);       // Tab
inline constexpr TZRNInputState hkRestartBackspace = InputButton(23);      // Backspace
inline constexpr TZRNInputState hkRestartX = InputButton(24);              // X
inline constexpr TZRNInputState hkHelpPage = InputButton(30);              // F1
inline constexpr TZRNInputState hkMenu = InputButton(31);                  // Esc
inline constexpr TZRNInputState hkPlayPause = InputButton(32);             // Space

// Each call replaces all three keys of a state with the one key given.
void BindHotKeys(TZRNKeyboard& keyboard);
