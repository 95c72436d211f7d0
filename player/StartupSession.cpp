// Restoring and storing the session: language, settings, playlist, track and position.
#include <algorithm>
#include <filesystem>

#include "engine/core/zrnClasses.h"
#include "platform/Log.h"
#include "player/Main.h"
#include "player/Options.h"
#include "player/Playlist.h"

void TDemo::OpenOptions() {
  // English until the options file says otherwise, and when it cannot be read.
  Language = 0;
  Options = MakeOwned<TOptions>(OptionsFileName(ProgramDir));
  Language = Options->ReadLanguage();
}

void TDemo::RestoreSettings() {
  // An empty playlist wired to the player.
  Playlist = MakeOwned<TPlaylist>();
  Playlist->PlayTrack = [this](int32_t index) { PlayTrack(index); };
  Playlist->OnCleared = [this] { PressedRow = -1; };
  Playlist->LogLine = [](const std::string& text) { LogLine(text); };
  Playlist->ClearPlaylist();
  // Shuffle and volume as they were left.
  Playlist->Shuffle = Options->ReadShuffle();
  Volume = Options->ReadVolume();
  // Errors in the stored playlist are swallowed inside; the position then counts as 0.
  StoredPosition = Options->RestorePlaylist(*Playlist);
  // The output device, at the stored volume.
  StartAudio();
  SetVolume(static_cast<int8_t>(Volume), true);
}

void TDemo::RestoreTrack() {
  // The visualization last shown.
  SetVisualization(Options->ReadVisualization());
  // The stored track, moved forward by the stored percentage, paused unless it was playing.
  const int32_t stored = Playlist->CurrentIndex;
  if (stored >= 0 && stored < Playlist->Count()) PlayTrack(stored);
  if (StoredPosition >= 1) SeekPercent(StoredPosition);
  if (!Options->ReadPlaying()) SetPaused(true);
  // Files named on the command line: an entry already in the list is played where it stands.
  bool first = true;
  for (const std::string& argument : Arguments) {
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
  // A refused write here ends the shutdown: the error reaches the entry, which logs it.
  Options->WriteSettings(Language, Playlist->Shuffle, Volume, Playing, Visualization);
  // Errors are swallowed inside; what was written before stays.
  Options->StorePlaylist(*Playlist, GetPositionPercent());
  // Closing the options file.
  Options.reset();
  // The playlist empties and the audio engine stops.
  Playlist->ClearPlaylist();
  StopAudio();
}
