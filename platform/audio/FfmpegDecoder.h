#pragma once
// AAC and ALAC (in M4A/MP4, or raw AAC), which libsndfile cannot read, and MPEG audio layers II
// and III whose length libsndfile can only estimate, decoded with FFmpeg.
#include <memory>
#include <string>

#include "platform/audio/SoundDecoder.h"

// nullptr when the file is not one of those in a container FFmpeg reads, or cannot be decoded.
std::unique_ptr<ISoundDecoder> OpenFfmpegDecoder(const std::string& path);
