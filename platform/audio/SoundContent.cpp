#include "platform/audio/SoundContent.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

bool At(const uint8_t* head, size_t size, size_t offset, const char* tag) {
  const size_t length = std::strlen(tag);
  return size >= offset + length && std::memcmp(head + offset, tag, length) == 0;
}

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return extension;
}

template <size_t N>
bool OneOf(const std::string& value, const std::array<const char*, N>& choices) {
  return std::any_of(choices.begin(), choices.end(), [&](const char* c) { return value == c; });
}

}  // namespace

ESoundContent SniffSoundContent(const uint8_t* head, size_t size) {
  if ((At(head, size, 0, "RIFF") || At(head, size, 0, "RF64")) && At(head, size, 8, "WAVE")) return ESoundContent::Wave;
  if (At(head, size, 0, "FORM") && (At(head, size, 8, "AIFF") || At(head, size, 8, "AIFC"))) return ESoundContent::Aiff;
  if (At(head, size, 0, "OggS")) return ESoundContent::Ogg;
  if (At(head, size, 0, "fLaC")) return ESoundContent::Flac;
  if (At(head, size, 0, "ID3")) return ESoundContent::Mpeg;
  if (At(head, size, 4, "ftyp")) return ESoundContent::Mp4;
  if (size >= 3 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0) {
    const int layer = (head[1] >> 1) & 3;
    if (layer == 0) {
      // ADTS: MPEG-4/2 AAC, sampling index in range.
      if ((head[1] & 0xF6) == 0xF0 && ((head[2] >> 2) & 0x0F) < 13) return ESoundContent::Adts;
      return ESoundContent::Unknown;
    }
    // MPEG audio: a valid version, bit rate and sampling rate index.
    const int version = (head[1] >> 3) & 3;
    const int bitrate = head[2] >> 4;
    const int rate = (head[2] >> 2) & 3;
    if (version != 1 && bitrate != 0x0F && rate != 3) return ESoundContent::Mpeg;
  }
  return ESoundContent::Unknown;
}

ESoundContent SniffSoundFile(const std::string& path) {
  // Non-blocking: a FIFO given by name must not stall the caller.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ESoundContent::Unknown;
  uint8_t head[kSoundSniffBytes];
  const ssize_t got = read(fd, head, sizeof head);
  close(fd);
  return got > 0 ? SniffSoundContent(head, static_cast<size_t>(got)) : ESoundContent::Unknown;
}

bool HasSoundExtension(const std::string& name) {
  static constexpr std::array<const char*, 13> kSound = {"mp3", "mp2",  "ogg", "oga",  "opus", "flac", "wav",
                                                         "wave", "aif", "aiff", "aifc", "m4a",  "aac"};
  return OneOf(LowerExtension(name), kSound);
}

bool HasPlaylistExtension(const std::string& name) {
  static constexpr std::array<const char*, 4> kLists = {"m3u", "m3u8", "pls", "wpl"};
  return OneOf(LowerExtension(name), kLists);
}
