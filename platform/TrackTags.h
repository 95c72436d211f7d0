#pragma once
// What a sound file's tags say about it: ID3v1 and ID3v2 (MP3, WAV), Vorbis comments (Ogg
// Vorbis, Opus, FLAC), RIFF INFO (WAV), read with TagLib.
#include <cstddef>
#include <cstdint>
#include <string>

struct TTrackTags {
  std::string Title;   // UTF-8, spaces around trimmed; empty when the file names none
  std::string Artist;
  std::string Album;
  int64_t LengthMs = 0;  // 0 when unknown
};

// The tags of the regular file at path; empty when it has none, is no sound file TagLib knows,
// or cannot be read (other kinds of file are never opened: reading a pipe would block).
TTrackTags ReadTrackTags(const std::string& path);
// The same from a file's bytes in memory; the format is recognised by content.
TTrackTags ReadTrackTags(const uint8_t* data, size_t size);

// What a listener knows the track by: "Artist - Title", or "Title" without an artist; empty
// when the tags name no title (the caller shows the file name then).
std::string TagTitle(const TTrackTags& tags);
