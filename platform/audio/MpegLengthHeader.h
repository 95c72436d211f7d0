#pragma once
// An MP3 states its length only in a Xing, Info or VBRI header inside its first frame. Without
// one a decoder estimates the length from the first frame's bit rate, which for variable bit
// rates can be off by minutes, and some decoders will not play past their estimate.
#include <cstddef>
#include <cstdint>
#include <string>

// Bytes of the file from where its first frame is searched (after any ID3v2 tag) that the check
// needs at most.
constexpr size_t kMpegHeaderSearchBytes = 4096;

// Whether the first MPEG audio frame found in data carries a length header.
bool MpegFrameStatesLength(const uint8_t* data, size_t size);
// The same for a file, skipping its ID3v2 tag; false when it cannot be read.
bool MpegFileStatesLength(const std::string& path);
