// Files and folders named from outside the playlist page: on the command line or dropped on the
// window. Each is added as the file chooser adds it, and the first one found or added plays.
#include <algorithm>
#include <filesystem>

#include "engine/device/zrnOpenGL.h"
#include "platform/FolderScan.h"
#include "platform/Log.h"
#include "player/Main.h"
#include "player/Playlist.h"

void TDemo::AddNamedFiles(const std::vector<std::string>& names) {
  bool first = true;
  auto addFile = [&](const std::string& file) {
    const auto known = std::find(Playlist->TrackPaths.begin(), Playlist->TrackPaths.end(), file);
    if (known != Playlist->TrackPaths.end()) {
      const int32_t index = static_cast<int32_t>(known - Playlist->TrackPaths.begin());
      // The stored track named again resumes where the user stopped listening.
      if (first && index == Playlist->CurrentIndex && !CurrentFile.empty()) {
        SetPaused(false);
      } else if (first) {
        PlayTrack(index);
      }
      first = false;
      return;
    }
    const int32_t before = Playlist->Count();
    Playlist->AddFromFile(file, false);
    if (Playlist->Count() == before) return;
    if (first) PlayTrack(before);
    first = false;
  };
  for (const std::string& name : names) {
    std::error_code error;
    const std::string path = std::filesystem::absolute(name, error).lexically_normal().string();
    try {
      if (std::filesystem::is_directory(path, error)) {
        for (const std::string& file : SoundFilesBelow(path)) addFile(file);
      } else {
        addFile(path);
      }
    } catch (const std::exception&) {
      // An unreadable playlist costs its own entries, not the rest of the names.
      LogLine("Cannot add \"" + path + "\"");
    }
  }
}

void TDemo::AddFolderDialog(bool play) {
  ZRNSetPointerCaptured(false);
  Playlist->AddFolderDialog(play);
  ZRNSetPointerCaptured(true);
}
