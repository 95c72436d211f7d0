#include "player/MprisAdapter.h"

#include <sys/stat.h>

#include <cmath>

#include "engine/core/zrnClasses.h"
#include "engine/device/zrnGlfwLayer.h"
#include "engine/device/zrnOpenGL.h"
#include "platform/Log.h"
#include "player/AudioBridge.h"
#include "player/Demo.h"
#include "player/Playlist.h"

namespace {
constexpr int64_t MicrosecondsPerSecond = 1000000;
}

int64_t TMprisAdapter::BytesPerSecond() const { return Demo.Audio->ChannelBytesPerSecond(Demo.Stream); }

const TTrackInfo& TMprisAdapter::Described() {
  if (DescribedStream != Demo.Stream || Description.Url.empty()) {
    const int64_t bytes = Demo.Audio->ChannelGetLength(Demo.Stream, AUDIO_POS_BYTE);
    const int64_t rate = BytesPerSecond();
    const int64_t lengthUs = bytes > 0 && rate > 0 ? bytes * MicrosecondsPerSecond / rate : 0;
    Description = DescribeTrack(Demo.CurrentFile, lengthUs);
    DescribedStream = Demo.Stream;
  }
  // Tags arrive from the reader some frames after the track starts; the next look picks them up.
  const TPlaylist& list = *Demo.Playlist;
  const auto index = static_cast<size_t>(list.CurrentIndex);
  if (list.CurrentIndex >= 0 && index < list.TrackTags.size() && index < list.TrackPaths.size() &&
      list.TrackPaths[index] == Demo.CurrentFile) {
    const TTrackTags& tags = list.TrackTags[index];
    if (!tags.Title.empty()) Description.Title = tags.Title;
    Description.Artists = tags.Artist.empty() ? std::vector<std::string>{} : std::vector<std::string>{tags.Artist};
    Description.Album = tags.Album;
  }
  return Description;
}

TMprisState TMprisAdapter::State() {
  TMprisState state;
  if (Demo.Playing) StoppedStream = 0;
  const bool loaded = !Demo.CurrentFile.empty();
  if (Demo.Playing && loaded) {
    state.Status = TMprisStatus::Playing;
  } else if (loaded && StoppedStream != Demo.Stream) {
    state.Status = TMprisStatus::Paused;
  }
  state.Shuffle = Demo.Playlist->Shuffle;
  state.Volume = Demo.Volume / 10.0;
  state.CanGoNext = state.CanGoPrevious = Demo.Playlist->Count() >= 2;
  state.CanPlay = Demo.Playlist->Count() > 0;
  state.CanPause = loaded;
  if (loaded) {
    const TTrackInfo& info = Described();
    state.CanSeek = info.LengthUs > 0;
    state.Track.TrackId = "/org/sonavarium/track/" + std::to_string(Demo.Stream);
    state.Track.Url = info.Url;
    state.Track.Title = info.Title;
    state.Track.Artists = info.Artists;
    state.Track.Album = info.Album;
    state.Track.LengthUs = info.LengthUs;
  }
  return state;
}

int64_t TMprisAdapter::PositionUs() {
  const int64_t bytes = Demo.Audio->ChannelGetPosition(Demo.Stream, AUDIO_POS_BYTE);
  const int64_t rate = BytesPerSecond();
  return bytes > 0 && rate > 0 ? bytes * MicrosecondsPerSecond / rate : 0;
}

void TMprisAdapter::Raise() { ZRNRaiseWindow(); }

// The same orderly end as closing the window: the options are stored.
void TMprisAdapter::Quit() { ZRNQuitRequested = 1; }

void TMprisAdapter::Play() {
  if (Demo.Playing) return;
  if (!Demo.CurrentFile.empty()) {
    Demo.SetPaused(false);
  } else if (Demo.Playlist->Count() > 0) {
    const int32_t current = Demo.Playlist->CurrentIndex;
    Demo.PlayTrack(current >= 0 && current < Demo.Playlist->Count() ? current : 0);
  }
  StoppedStream = 0;
}

void TMprisAdapter::Pause() {
  if (Demo.Playing) Demo.SetPaused(true);
}

void TMprisAdapter::PlayPause() {
  if (Demo.Playing) {
    Pause();
  } else {
    Play();
  }
}

void TMprisAdapter::Stop() {
  if (Demo.CurrentFile.empty()) return;
  Pause();
  Demo.SeekPercent(0);
  StoppedStream = Demo.Stream;
}

void TMprisAdapter::Next() {
  if (Demo.Playlist->Count() >= 2) Demo.Playlist->NextTrack(1);
}

void TMprisAdapter::Previous() {
  if (Demo.Playlist->Count() >= 2) Demo.Playlist->NextTrack(-1);
}

void TMprisAdapter::SetPositionUs(int64_t position) {
  const int64_t rate = BytesPerSecond();
  if (rate <= 0 || position < 0) return;
  // Whole seconds first: position * rate alone overflows for positions of a few days.
  const int64_t bytes = position / MicrosecondsPerSecond * rate + position % MicrosecondsPerSecond * rate / MicrosecondsPerSecond;
  Demo.Audio->ChannelSetPosition(Demo.Stream, bytes, AUDIO_POS_BYTE);
}

void TMprisAdapter::SetVolume(double volume) {
  Demo.SetVolume(static_cast<int8_t>(std::lround(volume * 10.0)), true);
}

void TMprisAdapter::SetShuffle(bool shuffle) { Demo.Playlist->Shuffle = shuffle; }

bool TMprisAdapter::OpenPath(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  const int32_t before = Demo.Playlist->Count();
  try {
    Demo.AddNamedFiles({path});
  } catch (const std::exception& error) {
    LogLine(std::string("Error: ") + error.what());
    return Demo.Playlist->Count() > before;
  }
  return true;
}
