#pragma once
// The readers of the player's own files under fuzzing: the options file, imported playlists and
// the stored playlist section. Each writes the bytes to a file in a private folder and reads it
// as the player would; a broken invariant aborts.
#include <cstddef>
#include <cstdint>

void FuzzOptionsFile(const uint8_t* data, size_t size);
// The first byte picks the playlist type (.m3u, .m3u8, .wpl); the rest is the file.
void FuzzPlaylistImport(const uint8_t* data, size_t size);
void FuzzPlaylistSection(const uint8_t* data, size_t size);
