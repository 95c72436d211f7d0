#pragma once
// The desktop's own open-file chooser (zenity or kdialog, whichever is installed), started as a
// child process without a shell. The call blocks until the chooser closes; audio plays on its own
// thread meanwhile.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TFileFilter {
  std::string Name;                   // UTF-8
  std::vector<std::string> Patterns;  // "*.mp3", ...
};

// Shows the chooser for one existing file; the first filter is preselected. ownerWindow, when not
// 0, is the X11 window the chooser is attached to. Returns the chosen path, or nothing when the
// user cancelled. Raises EPlatformError when no chooser is installed or it fails.
std::optional<std::string> OpenFileDialog(const std::string& title, const std::vector<TFileFilter>& filters,
                                          uint64_t ownerWindow);

// The full path of an executable found on PATH, or empty.
std::string FindOnPath(const std::string& program);
