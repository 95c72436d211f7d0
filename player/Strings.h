#pragma once
// Every text the player shows: row 0 English, row 1 Russian (Windows-1251 bytes), indexed by
// Language, then by entry number.
inline constexpr int StringCount = 29;
extern const char* const Strings[2][StringCount];

// Entry numbers of the table; the help page shows the hot-key lines from first to last.
enum TTextIndex : int {
  txtSoundFiles, txtAllFiles, txtExit, txtMusic, txtPause, txtPlay, txtHelp, txtVolume, txtPosition, txtBack,
  txtHotKeys, txtFirstHotKeyLine, txtLastHotKeyLine = txtFirstHotKeyLine + 10, txtPlaylist, txtPlaylists, txtAdd,
  txtDelete, txtClear, txtRandomize, txtAllSupported,
};
static_assert(txtAllSupported + 1 == StringCount, "one index per entry");
