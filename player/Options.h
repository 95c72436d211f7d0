#pragma once
// The player's settings, playlist and resume point in the options file "!options.ini".
#include <cstdint>
#include <string>

#include "platform/IniFile.h"

class TPlaylist;

namespace OptionKeys {
inline constexpr const char* OptionsSection = "options";
inline constexpr const char* PlaylistSection = "playlist";
inline constexpr const char* Language = "lng";
inline constexpr const char* Device = "dev";
inline constexpr const char* Shuffle = "rnd";
inline constexpr const char* Volume = "vol";
inline constexpr const char* CurrentIndex = "plp";
inline constexpr const char* Position = "pos";
inline constexpr const char* Visualization = "vis";
inline constexpr const char* Playing = "muz";
}  // namespace OptionKeys

// The options file for a program directory: beside the program when that is writable, else in
// the user's configuration directory.
std::string OptionsFileName(const std::string& programDir);

// The language a stored "lng" value selects: -1 follows the system, 0 and 1 are taken as they
// are, anything else is English.
uint8_t LanguageFromSetting(int32_t lng);

class TOptions {
 public:
  explicit TOptions(const std::string& fileName);

  TIniFile& File() { return File_; }

  // Reads, each with the default of a missing or unreadable value.
  uint8_t ReadLanguage() const;        // "lng", resolved to 0 or 1
  int32_t ReadDevice() const;          // "dev", default 0
  bool ReadShuffle() const;            // "rnd", default false
  uint8_t ReadVolume() const;          // "vol" low 8 bits, default 10 (SetVolume caps it at 10)
  uint8_t ReadVisualization() const;   // "vis" low 8 bits, default 0; above 7 selects 0
  bool ReadPlaying() const;            // "muz", default false

  // Adds the stored entries (empty base) to the playlist and sets its current index from "plp";
  // returns the stored "pos" (low 8 bits, signed). An error is swallowed: what was read stays, the
  // current index keeps its value and the position counts as 0.
  int8_t RestorePlaylist(TPlaylist& playlist) const;

  // "lng", "rnd", "vol", "muz", "vis" in this order; a refused write raises EPlatformError.
  void WriteSettings(uint8_t language, bool shuffle, uint8_t volume, bool playing, uint8_t visualization);
  // The playlist section in one write, then "plp" and "pos". Errors are swallowed; what was
  // written before stays.
  void StorePlaylist(const TPlaylist& playlist, uint16_t positionPercent);

 private:
  TIniFile File_;
};
