#include "player/Options.h"

#include <cstring>
#include <exception>
#include <unordered_map>

#include "platform/Locale.h"
#include "platform/Log.h"
#include "platform/UserFiles.h"
#include "player/Playlist.h"
#include "player/Visualizer.h"

using namespace OptionKeys;

std::string OptionsFileName(const std::string& programDir) { return UserFileDir(programDir) + "!options.ini"; }

uint8_t LanguageFromSetting(int32_t lng) {
  if (lng == -1) return SystemLanguageIsRussian() ? 1 : 0;
  if (lng == 0 || lng == 1) return static_cast<uint8_t>(lng);
  return 0;
}

TOptions::TOptions(const std::string& fileName, std::function<void(const std::string&)> report)
    : File_(fileName, {PlaylistSection}) {
  File_.Notice = report ? std::move(report) : std::function<void(const std::string&)>(ReportFault);
  if (const int error = File_.ReadError()) {
    Unreadable_ = true;
    File_.Notice("Cannot read " + fileName + ": " + std::strerror(error) + "; running with defaults, it will not be written");
    return;
  }
  File_.RemoveStaleTemporaries();
}

uint8_t TOptions::ReadLanguage() const {
  return LanguageFromSetting(File_.ReadInteger(OptionsSection, OptionKeys::Language, -1));
}

int32_t TOptions::ReadDevice() const { return File_.ReadInteger(OptionsSection, Device, 0); }

bool TOptions::ReadShuffle() const { return File_.ReadBool(OptionsSection, Shuffle, false); }

uint8_t TOptions::ReadVolume() const {
  return static_cast<uint8_t>(File_.ReadInteger(OptionsSection, Volume, 10));
}

uint8_t TOptions::ReadVisualization() const {
  const auto vis = static_cast<uint8_t>(File_.ReadInteger(OptionsSection, OptionKeys::Visualization, 0));
  return vis >= VisualizationCount ? 0 : vis;
}

bool TOptions::ReadPlaying() const { return File_.ReadBool(OptionsSection, Playing, false); }

int8_t TOptions::RestorePlaylist(TPlaylist& playlist) const {
  try {
    // A key runs to the last "=" of its line, so a path holding "=" (even at its end) is whole.
    for (const std::string& path : File_.ReadSection(PlaylistSection)) playlist.AddTrack(path, "");
    playlist.CurrentIndex = File_.ReadInteger(OptionsSection, CurrentIndex, -1);
    return static_cast<int8_t>(File_.ReadInteger(OptionsSection, Position, 0));
  } catch (const std::exception&) {
    return 0;
  }
}

void TOptions::WriteSettings(uint8_t language, bool shuffle, uint8_t volume, bool playing, uint8_t visualization) {
  File_.WriteInteger(OptionsSection, OptionKeys::Language, language);
  File_.WriteBool(OptionsSection, Shuffle, shuffle);
  File_.WriteInteger(OptionsSection, Volume, volume);
  File_.WriteBool(OptionsSection, Playing, playing);
  File_.WriteInteger(OptionsSection, OptionKeys::Visualization, visualization);
}

void TOptions::StorePlaylist(const TPlaylist& playlist, uint16_t positionPercent) {
  try {
    // A path is stored once, so "plp" must name the stored line of the current path, not its
    // place in a list that held duplicates before it.
    std::vector<std::string> stored;
    std::unordered_map<std::string, int32_t> storedIndex;
    for (const std::string& path : playlist.TrackPaths) {
      if (!File_.CanStoreKey(PlaylistSection, path) || storedIndex.count(path)) continue;
      storedIndex.emplace(path, static_cast<int32_t>(stored.size()));
      stored.push_back(path);
    }
    int32_t current = playlist.CurrentIndex;
    if (current >= 0 && current < playlist.Count()) {
      const auto it = storedIndex.find(playlist.TrackPaths[current]);
      current = it == storedIndex.end() ? -1 : it->second;
    }
    File_.ReplaceSection(PlaylistSection, stored);
    File_.WriteInteger(OptionsSection, CurrentIndex, current);
    File_.WriteInteger(OptionsSection, Position, positionPercent);
  } catch (const std::exception&) {
  }
}

void TOptions::SaveSession(uint8_t language, bool shuffle, uint8_t volume, bool playing, uint8_t visualization,
                           const TPlaylist& playlist, uint16_t positionPercent) {
  if (Unreadable_) return;
  File_.BeginUpdate();
  try {
    WriteSettings(language, shuffle, volume, playing, visualization);
    StorePlaylist(playlist, positionPercent);
  } catch (...) {
    File_.DiscardUpdate();
    throw;
  }
  File_.CommitUpdate();
}
