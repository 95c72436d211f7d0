// Files and folders named from outside the playlist page: on the command line or dropped on the
// window. Each is added as the file chooser adds it, and the first one found or added plays.
#include <filesystem>
#include <unordered_map>

#include "engine/device/zrnOpenGL.h"
#include "platform/FolderScan.h"
#include "platform/Log.h"
#include "player/Demo.h"
#include "player/Playlist.h"

void TDemo::AddNamedFiles(const std::vector<std::string>& names) {
  TPlaylist& list = *Playlist;
  // Where each path stands (its first entry): a folder of 10,000 files must not search the list
  // once per file.
  std::unordered_map<std::string, int32_t> indexOf;
  auto remember = [&](int32_t from) {
    for (int32_t i = from; i < list.Count(); ++i) indexOf.emplace(list.TrackPaths[static_cast<size_t>(i)], i);
  };
  remember(0);
  bool first = true;
  auto addFile = [&](const std::string& file) {
    const auto known = indexOf.find(file);
    if (known != indexOf.end()) {
      // The stored track named again resumes where the user stopped listening.
      if (first && known->second == list.CurrentIndex && !CurrentFile.empty()) {
        SetPaused(false);
      } else if (first) {
        PlayTrack(known->second);
      }
      first = false;
      return;
    }
    const int32_t before = list.Count();
    list.AddFromFile(file, false);
    if (list.Count() == before) return;
    remember(before);
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
  Playlist->AddFolderDialog(play, Language, static_cast<uint64_t>(WindowHandle));
  ZRNSetPointerCaptured(true);
}
