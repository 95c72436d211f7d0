#include "FuzzSessionFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_set>

#include "player/Options.h"
#include "player/Playlist.h"

namespace {

// A folder of this process for the files under test, in memory when the system has /dev/shm.
const std::string& WorkDir() {
  static const std::string dir = [] {
    const std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/snv_fuzz_XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/";
  }();
  return dir;
}

std::string WriteInput(const std::string& name, const std::string& bytes) {
  const std::string path = WorkDir() + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

void IgnoreReport(const std::string&) {}

// Reads the options file as the player does at start, saves the session as it does at exit, and
// checks that a second start finds exactly what was saved.
void ReadSaveReread(const std::string& bytes) {
  const std::string path = WriteInput("!options.ini", bytes);
  TOptions options(path, IgnoreReport);
  options.ReadLanguage();
  options.ReadDevice();
  const bool shuffle = options.ReadShuffle();
  const uint8_t volume = options.ReadVolume();
  const uint8_t vis = options.ReadVisualization();
  TPlaylist list;
  const int8_t position = options.RestorePlaylist(list);
  Require(list.TrackNames.size() == list.TrackPaths.size(), "one name per path");
  if (options.Unreadable()) return;
  const uint16_t percent = static_cast<uint16_t>(position < 0 ? 0 : position);
  options.SaveSession(0, !shuffle, volume, true, vis, list, percent);

  TOptions again(path, IgnoreReport);
  TPlaylist restored;
  Require(again.RestorePlaylist(restored) == static_cast<int8_t>(percent), "position kept");
  Require(again.ReadVolume() == volume && again.ReadShuffle() == !shuffle && again.ReadPlaying(), "settings kept");
  std::vector<std::string> expected;
  std::unordered_set<std::string> seen;
  for (const std::string& p : list.TrackPaths) {
    if (again.File().CanStoreKey(OptionKeys::PlaylistSection, p) && seen.insert(p).second) expected.push_back(p);
  }
  Require(restored.TrackPaths == expected, "playlist kept");
}

}  // namespace

void FuzzOptionsFile(const uint8_t* data, size_t size) {
  ReadSaveReread(std::string(reinterpret_cast<const char*>(data), size));
}

void FuzzPlaylistSection(const uint8_t* data, size_t size) {
  ReadSaveReread("[options]\nplp=1\npos=5\n[playlist]\n" + std::string(reinterpret_cast<const char*>(data), size));
}

void FuzzPlaylistImport(const uint8_t* data, size_t size) {
  if (size == 0) return;
  static const char* const extensions[] = {".m3u", ".m3u8", ".wpl"};
  const std::string path = WriteInput(std::string("list") + extensions[data[0] % 3],
                                      std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  TPlaylist list;
  list.AddFromFile(path, true);
  Require(list.TrackNames.size() == list.TrackPaths.size(), "one name per path");
  Require(list.CurrentIndex >= -1 && list.CurrentIndex <= list.Count(), "current entry in range");
  for (const std::string& p : list.TrackPaths) Require(p.find('\0') == std::string::npos, "no NUL in a path");
}
