// Restoring and storing the session: language, settings, playlist, track and position.
#include "engine/core/zrnClasses.h"
#include "platform/Log.h"
#include "platform/UserFiles.h"
#include "player/Demo.h"
#include "player/Visualizer.h"
#include "player/Options.h"
#include "player/Playlist.h"

void TDemo::OpenOptions() {
  // English until the options file says otherwise, and when it cannot be read.
  Language = 0;
  std::string note;
  UserFileDir(ProgramDir, &note);
  if (!note.empty()) ReportFault(note);
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
  AddNamedFiles(Arguments);
  OnFilesDropped = [this](const std::vector<std::string>& names) { AddNamedFiles(names); };
}

void TDemo::StoreSession() {
  // One replacement of the file. A refused save ends the shutdown: the error reaches the entry,
  // which logs it.
  Options->SaveSession(Language, Playlist->Shuffle, Volume, Playing, Visualizer->Visualization, *Playlist,
                       GetPositionPercent());
  Options.reset();
  // The playlist empties and the audio engine stops.
  Playlist->ClearPlaylist();
  StopAudio();
}
