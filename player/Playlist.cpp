#include "player/Playlist.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "engine/core/zrnClasses.h"
#include "platform/FileDialog.h"
#include "platform/Locale.h"
#include "platform/RegularFile.h"
#include "platform/TextConvert.h"
#include "player/Demo.h"
#include "player/PlaylistText.h"
#include "player/Strings.h"
#include "player/TagWorker.h"

namespace {

constexpr size_t MaxNameLength = 255;

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The directory part of a path, with its trailing "/"; empty when there is none.
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}


std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buffer[4096];
  if (!getcwd(buffer, sizeof buffer)) return path;
  return std::string(buffer) + "/" + path;
}

constexpr int64_t MaxPlaylistBytes = 64 << 20;

// Every line of a playlist file as UTF-8. Only a regular file of a sane size is read: a link to
// a device would never end, a pipe would block.
std::vector<std::string> ReadLines(const std::string& fileName) {
  std::string bytes;
  int error = 0;
  if (!ReadRegularFile(fileName, MaxPlaylistBytes, bytes, error)) {
    throw EZRNError("Cannot read playlist \"" + fileName + "\": " +
                    (error == EINVAL ? std::string("not a regular file")
                                     : error == EFBIG ? std::string("larger than 64 MB") : std::strerror(error)));
  }
  std::vector<std::string> lines;
  if (!PlaylistLines(bytes, lines)) throw EZRNError("Not a playlist (binary data): \"" + fileName + "\"");
  return lines;
}

// The value of a WPL line's src attribute; false when the line holds none.
bool WplSource(const std::string& line, std::string& value) {
  size_t at = std::string::npos;
  for (const char* marker : {"src=", "src ="}) {
    const size_t p = line.find(marker, 1);
    if (p != std::string::npos && p < at) at = p;
  }
  if (at == std::string::npos) return false;
  size_t i = line.find('=', at) + 1;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size() || (line[i] != '"' && line[i] != '\'')) return false;
  const char quote = line[i];
  const size_t close = line.find(quote, i + 1);
  value = line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
  return !value.empty();
}

// The file-name part of a path without every occurrence of its extension, in the path's own
// encoding.
std::string FileTitle(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    const std::string extension = name.substr(dot);
    for (size_t p = name.find(extension); p != std::string::npos; p = name.find(extension, p)) {
      name.erase(p, extension.size());
    }
  }
  return name;
}

}  // namespace

std::string TrackDisplayName(const std::string& path) { return FontTextFromUtf8(FileTitle(path), MaxNameLength); }

std::string ImportedEntryPath(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (LowerAscii(line.substr(0, 7)) == "file://") {
    const std::string rest = line.substr(7);
    // file:///path, or file://host/path (the host, usually "localhost", is dropped).
    const size_t slash = rest.find('/');
    if (slash == std::string::npos) return std::string();
    const std::string path = PercentDecode(rest.substr(slash));
    // "%00" names no file: a path cannot hold a NUL.
    return path.find('\0') == std::string::npos ? path : std::string();
  }
  for (char& c : line) {
    if (c == '\\') c = '/';
  }
  return line;
}

std::string DecodeXmlText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t semi = text[i] == '&' ? text.find(';', i) : std::string::npos;
    if (semi == std::string::npos || semi - i > 12) {
      out += text[i];
      continue;
    }
    const std::string entity = text.substr(i + 1, semi - i - 1);
    bool known = true;
    if (entity == "amp") out += '&';
    else if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      const std::string digits = entity.substr(hex ? 2 : 1);
      uint32_t cp = 0;
      known = !digits.empty();
      for (char c : digits) {
        const int d = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0 || cp > 0x10FFFF) {
          known = false;
          break;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
      }
      if (known && (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) known = false;
      if (known) AppendUtf8(out, cp);
    } else {
      known = false;
    }
    if (known) i = semi;
    else out += text[i];
  }
  return out;
}

TPlaylist::TPlaylist()
    : Random(static_cast<std::mt19937::result_type>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count())),
      Converter(std::make_unique<TFontTextConverter>()),
      TagReader(std::make_unique<TTagWorker>()) {}

TPlaylist::~TPlaylist() = default;

bool TPlaylist::ApplyTags() {
  std::vector<TTagWorker::TResult> results = TagReader->TakeResults();
  for (TTagWorker::TResult& result : results) {
    const auto at = std::lower_bound(TrackIds.begin(), TrackIds.end(), result.Id);
    if (at == TrackIds.end() || *at != result.Id) continue;  // deleted meanwhile
    const auto index = static_cast<size_t>(at - TrackIds.begin());
    TrackTags[index] = std::move(result.Tags);
    if (!result.Title.empty()) TrackNames[index] = std::move(result.Title);
  }
  return !results.empty();
}

void TPlaylist::WaitForTags() { TagReader->WaitIdle(); }

std::string TPlaylist::ShownName(const std::string& path) {
  if (CurrentIndex >= 0 && CurrentIndex < Count() && TrackPaths[static_cast<size_t>(CurrentIndex)] == path) {
    return TrackNames[static_cast<size_t>(CurrentIndex)];
  }
  return Converter->Convert(path);
}

void TPlaylist::SetCurrent(int32_t index) {
  CurrentIndex = index;
  if (index == SelectedIndex) SelectedIndex = -1;
}

void TPlaylist::Play(int32_t index) {
  if (PlayTrack) {
    PlayTrack(index);
    return;
  }
  SetCurrent(index);
  if (index >= 0 && index < Count()) EnsureCurrentVisible();
}

void TPlaylist::AddTrack(const std::string& path, const std::string& base) {
  std::string full = path;
  if (!base.empty() && (full.empty() || full[0] != '/')) full = base + full;
  TrackNames.push_back(Converter->Convert(FileTitle(full), MaxNameLength));
  TrackTags.emplace_back();
  TrackIds.push_back(++LastId);
  TagReader->Request(LastId, full);
  TrackPaths.push_back(std::move(full));
  ScrollPlaylist(0);
}

void TPlaylist::AddImported(const std::string& entry, const std::string& base) {
  // An entry that decoded to nothing would name the playlist's own folder.
  if (entry.empty()) return;
  // A playlist written in Latin-1 names files whose names are UTF-8 here.
  if (!entry.empty() && !IsValidUtf8(entry)) {
    const std::string converted = Latin1ToUtf8(entry);
    const std::string asWritten = entry[0] == '/' || base.empty() ? entry : base + entry;
    const std::string asConverted = converted[0] == '/' || base.empty() ? converted : base + converted;
    if (!IsRegularFile(asWritten) && IsRegularFile(asConverted)) {
      AddTrack(converted, base);
      return;
    }
  }
  AddTrack(entry, base);
}

void TPlaylist::AddFromFile(const std::string& fileName, bool play) {
  // Pipes, devices and folders are neither tracks nor playlists.
  if (!IsRegularFile(fileName)) {
    if (LogLine) LogLine("Not added (missing, or not a regular file): " + fileName);
    return;
  }
  const std::string file = Absolute(fileName);
  const int32_t first = Count();
  const std::string base = DirectoryOf(file);
  const std::string name = file.substr(base.size());
  const size_t dot = name.rfind('.');
  const std::string extension = LowerAscii(dot == std::string::npos ? std::string() : name.substr(dot));

  try {
    if (StartsWith(extension, ".wpl")) {
      std::string value;
      for (const std::string& line : ReadLines(file)) {
        if (WplSource(line, value)) AddImported(ImportedEntryPath(DecodeXmlText(value)), base);
      }
    } else if (StartsWith(extension, ".m3u")) {
      for (std::string line : ReadLines(file)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || (line.size() > 1 && line[1] == '#')) continue;
        AddImported(ImportedEntryPath(line), base);
      }
    } else {
      AddTrack(file, base);
    }
  } catch (const EZRNError& error) {
    // Like any bad entry: skipped, with a line in the log.
    if (LogLine) LogLine(error.what());
    return;
  }
  if (play) Play(first);
}

void TPlaylist::AddFilesDialog(bool play, uint8_t language, uint64_t window) {
  try {
    const auto& texts = Strings[language == 1 ? 1 : 0];
    const std::vector<std::string> sounds = {"*.mp3",  "*.ogg", "*.oga", "*.opus", "*.flac",
                                             "*.wav", "*.aif", "*.aiff", "*.m4a", "*.aac"};
    const std::vector<std::string> lists = {"*.m3u", "*.m3u8", "*.wpl"};
    std::vector<std::string> all = sounds;
    all.insert(all.end(), lists.begin(), lists.end());
    const std::vector<TFileFilter> filters = {
        {Cp1251ToUtf8(texts[txtAllSupported]), all},
        {Cp1251ToUtf8(texts[txtSoundFiles]), sounds},
        {Cp1251ToUtf8(texts[txtPlaylists]), lists},
        {Cp1251ToUtf8(texts[txtAllFiles]), {"*"}},
    };
    const std::optional<std::string> chosen =
        OpenFileDialog("Sonavarium", filters, window);
    if (chosen) AddFromFile(*chosen, play);
  } catch (const std::exception&) {
    if (LogLine) LogLine("Error in OpenFileDialog");
  }
}

void TPlaylist::DeleteTrack(int32_t index) {
  const int32_t n = Count();
  // An index outside the list deletes nothing, so the current entry must not move either.
  if (index >= 0 && index < n) {
    if (CurrentIndex >= 0 && index == CurrentIndex) Play(-1);
    if (CurrentIndex >= 0 && index < CurrentIndex) --CurrentIndex;
  }
  SelectedIndex = -1;
  if (index < 0 || index > n - 1) return;
  TrackPaths.erase(TrackPaths.begin() + index);
  TrackNames.erase(TrackNames.begin() + index);
  TrackTags.erase(TrackTags.begin() + index);
  TrackIds.erase(TrackIds.begin() + index);
  if (n - 1 < VisibleRows) VisibleRows = static_cast<uint8_t>(n - 1);
  ScrollPlaylist(0);
}

void TPlaylist::ClearPlaylist() {
  DeleteTrack(CurrentIndex);
  CurrentIndex = -1;
  SelectedIndex = -1;
  TrackPaths.clear();
  TrackNames.clear();
  TrackTags.clear();
  TrackIds.clear();
  TagReader->Forget();
  if (OnCleared) OnCleared();
  TopIndex = 0;
  VisibleRows = 0;
}

void TPlaylist::NextTrack(int32_t step) {
  const int32_t n = Count();
  if (n == 0) return;
  int32_t next;
  if (Shuffle) {
    const int32_t current = CurrentIndex;
    if (current >= 0 && current < n) {
      if (n == 1) {
        next = current;  // no other entry to draw: start it again
      } else {
        // Uniform over the other n - 1 entries.
        next = std::uniform_int_distribution<int32_t>(0, n - 2)(Random);
        if (next >= current) ++next;
      }
    } else {
      next = std::uniform_int_distribution<int32_t>(0, n - 1)(Random);
    }
  } else {
    next = CurrentIndex + step;
    if (next < 0) next = n - 1;
    else if (next > n - 1) next = 0;
  }
  CurrentIndex = next;
  Play(next);
}

void TPlaylist::ScrollPlaylist(int16_t step) {
  const int32_t n = Count();
  if (n == 0) return;
  const int32_t keep = VisibleRows > 1 ? VisibleRows - 1 : 0;
  int32_t max = n - 1 - keep;
  if (max < 0) max = 0;
  const int32_t top = TopIndex + step;
  if (top < 0) TopIndex = 0;
  else if (top > max) TopIndex = max;
  else TopIndex = top;
}

void TPlaylist::EnsureCurrentVisible() {
  if (CurrentIndex < 0) return;
  const int32_t current = CurrentIndex;
  if (current > TopIndex + VisibleRows - 1 && VisibleRows > 2) {
    TopIndex = current - VisibleRows + 1;
  } else if (TopIndex > current) {
    TopIndex = current;
  }
}
