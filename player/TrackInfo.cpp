#include "player/TrackInfo.h"

#include "player/Playlist.h"

std::string FileUri(const std::string& path) {
  static const char Hex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                       byte == '/' || byte == '-' || byte == '.' || byte == '_' || byte == '~';
    if (plain) {
      uri += c;
    } else {
      uri += '%';
      uri += Hex[byte >> 4];
      uri += Hex[byte & 15];
    }
  }
  return uri;
}

TTrackInfo DescribeTrack(const std::string& path, int64_t lengthUs) {
  TTrackInfo info;
  info.Title = TrackDisplayName(path);
  info.LengthUs = lengthUs;
  info.Url = FileUri(path);
  return info;
}
