#pragma once
// What kind of sound a file holds, told from its first bytes, and which names are taken for sound
// files without looking inside.
#include <cstddef>
#include <cstdint>
#include <string>

enum class ESoundContent {
  Unknown,
  Wave,  // RIFF/RF64 WAVE
  Aiff,  // AIFF and AIFF-C
  Ogg,   // Vorbis, Opus or FLAC in Ogg
  Flac,
  Mpeg,  // MPEG audio frames, possibly behind an ID3v2 tag
  Mp4,   // the MP4 family (M4A: AAC or ALAC)
  Adts,  // raw AAC
};

// Bytes a caller should offer SniffSoundContent.
constexpr size_t kSoundSniffBytes = 12;

ESoundContent SniffSoundContent(const uint8_t* head, size_t size);
// Reads the file's first bytes; Unknown when it cannot be read.
ESoundContent SniffSoundFile(const std::string& path);

// A name ending in an extension of a sound type the player decodes, in any letter case.
bool HasSoundExtension(const std::string& name);
// A name ending in .m3u, .m3u8, .pls or .wpl, in any letter case.
bool HasPlaylistExtension(const std::string& name);
