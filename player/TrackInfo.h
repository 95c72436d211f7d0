#pragma once
// What the player tells the desktop about a track. Read once per track.
#include <cstdint>
#include <string>
#include <vector>

struct TTrackInfo {
  std::string Title;
  std::vector<std::string> Artists;
  std::string Album;
  int64_t LengthUs = 0;
  std::string Url;
};

// The file's title (its display name while tags are not read), its file:// URL and the length.
TTrackInfo DescribeTrack(const std::string& path, int64_t lengthUs);
// An absolute path as a file:// URI, bytes outside the unreserved set and "/" percent-encoded.
std::string FileUri(const std::string& path);
