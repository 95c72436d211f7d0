#pragma once
// The ordered list of sound files the player walks through, with the scrolling state of the
// playlist page.
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "player/UnplayableTracks.h"
#include "platform/TrackTags.h"

class TFontTextConverter;
class TTagWorker;

class TPlaylist {
 public:
  TPlaylist();
  ~TPlaylist();

  std::vector<std::string> TrackPaths;
  // What each row shows, as the font draws it (at most 255 characters): the title from the
  // file's tags once they have been read, until then (and without one) the display name.
  std::vector<std::string> TrackNames;
  // Each entry's tags; empty until read (ApplyTags), and for files without tags.
  std::vector<TTrackTags> TrackTags;
  int32_t CurrentIndex = -1;
  int32_t SelectedIndex = -1;
  int32_t TopIndex = 0;
  uint8_t VisibleRows = 0;
  bool Shuffle = false;
  int32_t LastWheel = 0;
  TUnplayableTracks Unplayable;

  // Hooks set by the player.
  // Starts entry I (or stops playback for an index outside the list). It must call SetCurrent(I)
  // and, when I is valid, EnsureCurrentVisible(). Unset: only those two are done.
  std::function<void(int32_t)> PlayTrack;
  // The list was emptied (the player forgets the pressed row).
  std::function<void()> OnCleared;
  // Writes one line to the log.
  std::function<void(const std::string&)> LogLine;

  int32_t Count() const { return static_cast<int32_t>(TrackPaths.size()); }

  // Appends P; a path not starting with "/" is taken relative to the folder `base` (which ends
  // in "/"); an empty base keeps the path as it is.
  void AddTrack(const std::string& path, const std::string& base);
  // A sound file, or a playlist (.m3u, .m3u8, .wpl in any letter case) whose entries are added.
  // With play set, starts the first entry this call added (or stops playback if none was).
  // Only regular files are taken; a playlist that cannot be read, is too large or is not text is
  // skipped with a log line.
  void AddFromFile(const std::string& fileName, bool play);
  // Shows the open-file dialog (attached to the window `window`, filter names in the language
  // row `language` of the string table) and adds the chosen file; errors are logged, never raised.
  void AddFilesDialog(bool play, uint8_t language, uint64_t window);
  // Every sound file below the folder (SoundFilesBelow); with play set, starts the first one added.
  void AddFolder(const std::string& folder, bool play);
  // The folder chooser's counterpart of AddFilesDialog.
  void AddFolderDialog(bool play, uint8_t language, uint64_t window);
  void DeleteTrack(int32_t index);
  void ClearPlaylist();
  // Sequential with step +1/-1, wrapping around; in shuffle mode a random entry other than the
  // current one.
  void NextTrack(int32_t step);
  // Moves TopIndex by step (0 only re-clamps it) so that the view stays within the list.
  void ScrollPlaylist(int16_t step);
  void EnsureCurrentVisible();
  // What starting entry I does to the playlist: it becomes current, and the selection is
  // cleared when it was the selected one.
  void SetCurrent(int32_t index);

  // Tags are read off the frame loop as entries are added; this takes those read since the last
  // call into TrackTags and TrackNames. Returns whether any arrived.
  bool ApplyTags();
  // Blocks until the tags of every entry added so far have been read (tests, benchmarks).
  void WaitForTags();
  // The text that shows the file being played: its row's text while it is the current entry,
  // else the path itself as the font draws it.
  std::string ShownName(const std::string& path);

 private:
  void Play(int32_t index);
  // An entry of an imported playlist; one that is not UTF-8 and does not exist as written is
  // taken as Latin-1 when that names a file.
  void AddImported(const std::string& entry, const std::string& base);
  std::mt19937 Random;
  std::unique_ptr<TFontTextConverter> Converter;
  std::unique_ptr<TTagWorker> TagReader;
  // A number per entry, rising in list order, that a tag result finds its entry by after
  // deletions moved it.
  std::vector<uint64_t> TrackIds;
  uint64_t LastId = 0;
};

// The display name of a path: its file-name part without every occurrence of its extension, as
// the font draws it, at most 255 characters.
std::string TrackDisplayName(const std::string& path);
// One line of an imported playlist as a path: carriage return dropped, "file://" URIs decoded,
// "\" of Windows paths turned into "/". Empty for a URI that names no path.
std::string ImportedEntryPath(std::string line);
// "&amp;", "&lt;", "&#233;", "&#xE9;" ... decoded into UTF-8.
std::string DecodeXmlText(const std::string& text);
