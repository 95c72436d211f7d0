// Adding whole folders to the playlist.
#include <optional>
#include <string>

#include "platform/FileDialog.h"
#include "platform/FolderScan.h"
#include "player/Playlist.h"

void TPlaylist::AddFolder(const std::string& folder, bool play) {
  const int32_t first = Count();
  for (const std::string& file : SoundFilesBelow(folder)) AddTrack(file, std::string());
  if (play && Count() > first) Play(first);
}

void TPlaylist::AddFolderDialog(bool play, uint8_t /*language*/, uint64_t window) {
  try {
    const std::optional<std::string> chosen =
        OpenFolderDialog("Sonavarium", window);
    if (chosen) AddFolder(*chosen, play);
  } catch (const std::exception&) {
    if (LogLine) LogLine("Error in OpenFolderDialog");
  }
}
