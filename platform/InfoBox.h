#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Message box with the caption "Sonavarium": zenity, else kdialog, attached to the window
// `owner` (an X11 window id) when it is not 0. The box is not waited for; with `endProcess`
// the program ends right after starting it, with exit status 0. False if no box could be shown.
bool ShowInfoBox(const std::string& text, uintptr_t owner, bool endProcess);
