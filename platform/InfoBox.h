#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Starts a program found on PATH without a shell, in its own session, with its output
// discarded, and does not wait for it (a helper thread reaps it). False if it could not start.
bool SpawnDetached(const std::vector<std::string>& argv);

// Message box with the caption "Sonavarium": zenity, else kdialog, attached to the window
// `owner` (an X11 window id) when it is not 0. The box is not waited for; with `endProcess`
// the program ends right after starting it, with exit status 0. False if no box could be shown.
bool ShowInfoBox(const std::string& text, uintptr_t owner, bool endProcess);
