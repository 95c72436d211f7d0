#include "platform/TrackTags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/fileref.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfilestream.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>
#include <unistd.h>

namespace {

std::string Trimmed(const TagLib::String& text) {
  std::string s = text.to8Bit(true);
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

TTrackTags TagsOf(TagLib::IOStream& stream) {
  TTrackTags tags;
  const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Fast);
  if (file.isNull()) return tags;
  if (const TagLib::Tag* tag = file.tag()) {
    tags.Title = Trimmed(tag->title());
    tags.Artist = Trimmed(tag->artist());
    tags.Album = Trimmed(tag->album());
  }
  // A WAV file's general tag is its ID3v2 tag only; RIFF INFO fills what that leaves empty.
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file.file()); wav && wav->hasInfoTag()) {
    const TagLib::RIFF::Info::Tag* info = wav->InfoTag();
    if (tags.Title.empty()) tags.Title = Trimmed(info->title());
    if (tags.Artist.empty()) tags.Artist = Trimmed(info->artist());
    if (tags.Album.empty()) tags.Album = Trimmed(info->album());
  }
  if (const TagLib::AudioProperties* properties = file.audioProperties()) {
    tags.LengthMs = properties->lengthInMilliseconds() > 0 ? properties->lengthInMilliseconds() : 0;
  }
  return tags;
}

}  // namespace

TTrackTags ReadTrackTags(const std::string& path) {
  // Opened without waiting, and checked before TagLib reads: a pipe or device would block.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {};
  }
  TagLib::FileStream stream(fd, true);  // owns the descriptor from here on
  if (!stream.isOpen()) return {};
  return TagsOf(stream);
}

TTrackTags ReadTrackTags(const uint8_t* data, size_t size) {
  TagLib::ByteVector bytes(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
  TagLib::ByteVectorStream stream(bytes);
  return TagsOf(stream);
}

std::string TagTitle(const TTrackTags& tags) {
  if (tags.Title.empty()) return {};
  return tags.Artist.empty() ? tags.Title : tags.Artist + " - " + tags.Title;
}
