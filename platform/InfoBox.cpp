#include "platform/InfoBox.h"

#include <cstdlib>

#include "platform/Spawn.h"

namespace {

// Starts a program found on PATH, in its own session, with its output discarded, and does not
// wait for it. False if it could not start.
bool SpawnDetached(const std::vector<std::string>& argv) {
  // Own session: the box survives the player and Ctrl+C in the player's terminal.
  std::optional<TChildProcess> child = TChildProcess::Start(argv, {.OwnSession = true});
  if (!child) return false;
  child->Detach();
  return true;
}

}  // namespace

bool ShowInfoBox(const std::string& text, uintptr_t owner, bool endProcess) {
  const std::string body = text + "   ";
  std::vector<std::string> zenity = {"zenity", "--info", "--no-markup", "--title=Sonavarium", "--text=" + body};
  if (owner != 0) zenity.push_back("--attach=" + std::to_string(owner));
  std::vector<std::string> kdialog = {"kdialog", "--title", "Sonavarium", "--msgbox", body};
  if (owner != 0) {
    kdialog.insert(kdialog.begin() + 1, {"--attach", std::to_string(owner)});
  }
  const bool shown = SpawnDetached(zenity) || SpawnDetached(kdialog);
  if (endProcess) std::exit(0);
  return shown;
}
