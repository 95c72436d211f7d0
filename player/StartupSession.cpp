// Restoring and storing the session: language, settings, playlist, track and position.
#include <algorithm>
#include <filesystem>

#include "engine/core/zrnClasses.h"
#include "platform/Log.h"
#include "player/Main.h"
#include "player/Options.h"
#include "player/Playlist.h"

void TDemo::OpenOptions() {
  // 4.
  Language = 0;
  Options = MakeOwned<TOptions>(OptionsFileName(ProgramDir));
  Language = Options->ReadLanguage();
}

void TDemo::RestoreSettings() {
  // 10.
  Playlist = MakeOwned<TPlaylist>();
  Playlist->PlayTrack = [this](int32_t index) { PlayTrack(index); };
  Playlist->OnCleared = [this] { PressedRow = -1; };
  Playlist->LogLine = [](const std::string& text) { LogLine(text); };
  Playlist->ClearPlaylist();
  // 11.
  Playlist->Shuffle = Options->ReadShuffle();
  Volume = Options->ReadVolume();
  // 12. Errors in the stored playlist are swallowed inside; the position then counts as 0.
  StoredPosition = Options->RestorePlaylist(*Playlist);
  // 13.
  StartAudio();
  SetVolume(static_cast<int8_t>(Volume), true);
}

void TDemo::RestoreTrack() {
  // 28.
  SetVisualization(Options->ReadVisualization());
  // 29.-31. The stored track, moved forward by the stored percentage, paused unless it was playing.
  const int32_t stored = Playlist->CurrentIndex;
  if (stored >= 0 && stored < Playlist->Count()) PlayTrack(stored);
  if (StoredPosition >= 1) SeekPercent(StoredPosition);
  if (!Options->ReadPlaying()) SetPaused(true);
  AddNamedFiles(Arguments);
}

// Files named on the command line or handed over by a second start: an entry already in the
// list is played where it stands.
void TDemo::AddNamedFiles(const std::vector<std::string>& files) {
  bool first = true;
  for (const std::string& argument : files) {
    std::error_code error;
    const std::string file = std::filesystem::absolute(argument, error).lexically_normal().string();
    const auto known = std::find(Playlist->TrackPaths.begin(), Playlist->TrackPaths.end(), file);
    if (known != Playlist->TrackPaths.end()) {
      const int32_t index = static_cast<int32_t>(known - Playlist->TrackPaths.begin());
      // The stored track named again resumes where the user stopped listening.
      if (first && index == Playlist->CurrentIndex && !CurrentFile.empty()) {
        SetPaused(false);
      } else if (first) {
        PlayTrack(index);
      }
    } else {
      Playlist->AddFromFile(file, first);
    }
    first = false;
  }
}

void TDemo::StoreSession() {
  // 2. A refused write here ends the shutdown: the error reaches the entry, which logs it.
  Options->WriteSettings(Language, Playlist->Shuffle, Volume, Playing, Visualization);
  // 3. Errors are swallowed inside; what was written before stays.
  Options->StorePlaylist(*Playlist, GetPositionPercent());
  // 4.
  Options.reset();
  // 5.-6.
  Playlist->ClearPlaylist();
  StopAudio();
}
