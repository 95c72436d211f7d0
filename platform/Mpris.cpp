#include "platform/Mpris.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* RootInterface = "org.mpris.MediaPlayer2";
constexpr const char* PlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* NoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// Bounds one frame's work when a client floods the bus.
constexpr int MaxMessagesPerPoll = 64;
// A position further than this from where playback alone would have taken it was a seek.
constexpr int64_t SeekJumpUs = 400000;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char* StatusName(TMprisStatus status) {
  switch (status) {
    case TMprisStatus::Playing: return "Playing";
    case TMprisStatus::Paused: return "Paused";
    default: return "Stopped";
  }
}

struct TBusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
struct TSlotDeleter {
  void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};

}  // namespace

std::string PathFromUri(const std::string& uri) {
  std::string path;
  if (uri.find('\0') != std::string::npos) return {};
  if (uri.compare(0, 7, "file://") == 0) {
    const size_t slash = uri.find('/', 7);
    if (slash == std::string::npos) return {};
    for (size_t i = slash; i < uri.size(); ++i) {
      if (uri[i] != '%') {
        path += uri[i];
        continue;
      }
      if (i + 2 >= uri.size() || HexValue(uri[i + 1]) < 0 || HexValue(uri[i + 2]) < 0) return {};
      const char decoded = static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2]));
      if (decoded == '\0') return {};
      path += decoded;
      i += 2;
    }
  } else {
    path = uri;
  }
  return !path.empty() && path[0] == '/' ? path : std::string();
}

struct TMprisService::TImpl {
  IMprisPlayer& Player;
  std::unique_ptr<sd_bus, TBusDeleter> Bus;
  std::unique_ptr<sd_bus_slot, TSlotDeleter> RootSlot;
  std::unique_ptr<sd_bus_slot, TSlotDeleter> PlayerSlot;
  TMprisState Announced;
  int64_t LastPosition = 0;
  std::chrono::steady_clock::time_point LastPoll = std::chrono::steady_clock::now();

  explicit TImpl(IMprisPlayer& player) : Player(player) {}

  void EmitSeeked() {
    LastPosition = Player.PositionUs();
    LastPoll = std::chrono::steady_clock::now();
    sd_bus_emit_signal(Bus.get(), ObjectPath, PlayerInterface, "Seeked", "x", static_cast<int64_t>(LastPosition));
  }

  void AnnounceChanges() {
    const TMprisState now = Player.State();
    std::vector<const char*> changed;
    if (now.Status != Announced.Status) changed.push_back("PlaybackStatus");
    if (now.Shuffle != Announced.Shuffle) changed.push_back("Shuffle");
    if (now.Volume != Announced.Volume) changed.push_back("Volume");
    if (now.CanGoNext != Announced.CanGoNext) changed.push_back("CanGoNext");
    if (now.CanGoPrevious != Announced.CanGoPrevious) changed.push_back("CanGoPrevious");
    if (now.CanPlay != Announced.CanPlay) changed.push_back("CanPlay");
    if (now.CanPause != Announced.CanPause) changed.push_back("CanPause");
    if (now.CanSeek != Announced.CanSeek) changed.push_back("CanSeek");
    if (!(now.Track == Announced.Track)) changed.push_back("Metadata");
    const bool sameTrack = now.Track.TrackId == Announced.Track.TrackId;
    Announced = now;
    if (!changed.empty()) {
      changed.push_back(nullptr);
      sd_bus_emit_properties_changed_strv(Bus.get(), ObjectPath, PlayerInterface, const_cast<char**>(changed.data()));
    }
    // Seeks by key or mouse are noticed as jumps of the position.
    const auto clock = std::chrono::steady_clock::now();
    const int64_t position = Player.PositionUs();
    const int64_t elapsed = std::chrono::duration_cast<std::chrono::microseconds>(clock - LastPoll).count();
    const int64_t expected = LastPosition + (now.Status == TMprisStatus::Playing ? elapsed : 0);
    LastPosition = position;
    LastPoll = clock;
    if (sameTrack && !now.Track.TrackId.empty() && std::llabs(position - expected) > SeekJumpUs) {
      sd_bus_emit_signal(Bus.get(), ObjectPath, PlayerInterface, "Seeked", "x", static_cast<int64_t>(position));
    }
  }
};

namespace {

using TImpl = TMprisService::TImpl;

TImpl& Of(void* userdata) { return *static_cast<TImpl*>(userdata); }

template <void (IMprisPlayer::*Action)()>
int Call(sd_bus_message* m, void* userdata, sd_bus_error*) {
  (Of(userdata).Player.*Action)();
  return sd_bus_reply_method_return(m, "");
}

int Seek(sd_bus_message* m, void* userdata, sd_bus_error* error) {
  int64_t offset = 0;
  const int r = sd_bus_message_read(m, "x", &offset);
  if (r < 0) return r;
  TImpl& self = Of(userdata);
  const TMprisState state = self.Player.State();
  if (!state.CanSeek) return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED, "Nothing to seek in");
  const int64_t position = self.Player.PositionUs();
  // Saturating: a far seek must not wrap around.
  int64_t target;
  if (__builtin_add_overflow(position, offset, &target)) target = offset > 0 ? INT64_MAX : 0;
  if (target < 0) target = 0;
  if (target >= state.Track.LengthUs) {
    // Past the end acts like Next.
    if (state.CanGoNext) self.Player.Next();
  } else {
    self.Player.SetPositionUs(target);
    self.EmitSeeked();
  }
  return sd_bus_reply_method_return(m, "");
}

int SetPosition(sd_bus_message* m, void* userdata, sd_bus_error* error) {
  const char* track = nullptr;
  int64_t position = 0;
  const int r = sd_bus_message_read(m, "ox", &track, &position);
  if (r < 0) return r;
  TImpl& self = Of(userdata);
  const TMprisState state = self.Player.State();
  if (!state.CanSeek) return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED, "Nothing to seek in");
  if (state.Track.TrackId != track) {
    return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Stale track id: another track is loaded now");
  }
  if (position < 0 || position >= state.Track.LengthUs) {
    return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Position outside the track");
  }
  self.Player.SetPositionUs(position);
  self.EmitSeeked();
  return sd_bus_reply_method_return(m, "");
}

int OpenUri(sd_bus_message* m, void* userdata, sd_bus_error* error) {
  const char* uri = nullptr;
  const int r = sd_bus_message_read(m, "s", &uri);
  if (r < 0) return r;
  const std::string path = PathFromUri(uri);
  if (path.empty()) return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Only file:// URIs and absolute paths");
  if (!Of(userdata).Player.OpenPath(path)) {
    return sd_bus_error_setf(error, SD_BUS_ERROR_FILE_NOT_FOUND, "Nothing to play in %s", path.c_str());
  }
  return sd_bus_reply_method_return(m, "");
}

int GetTrue(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 1);
}
int GetFalse(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 0);
}
int GetOne(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "d", 1.0);
}

int GetText(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply, void*, sd_bus_error*) {
  if (std::strcmp(property, "Identity") == 0) return sd_bus_message_append(reply, "s", "Sonavarium");
  if (std::strcmp(property, "DesktopEntry") == 0) return sd_bus_message_append(reply, "s", "sonavarium");
  return sd_bus_message_append(reply, "s", "Playlist");  // LoopStatus: the list wraps around
}

int GetUriSchemes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "as", 1, "file");
}

int GetMimeTypes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "as", 10, "audio/mpeg", "audio/ogg", "audio/x-vorbis+ogg", "audio/x-opus+ogg",
                               "audio/flac", "audio/x-wav", "audio/wav", "audio/x-mpegurl", "application/vnd.apple.mpegurl",
                               "application/vnd.ms-wpl");
}

int GetState(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply, void* userdata,
             sd_bus_error*) {
  TImpl& self = Of(userdata);
  const TMprisState state = self.Player.State();
  const std::string name = property;
  if (name == "PlaybackStatus") return sd_bus_message_append(reply, "s", StatusName(state.Status));
  if (name == "Shuffle") return sd_bus_message_append(reply, "b", state.Shuffle);
  if (name == "Volume") return sd_bus_message_append(reply, "d", state.Volume);
  if (name == "Position") return sd_bus_message_append(reply, "x", static_cast<int64_t>(self.Player.PositionUs()));
  if (name == "CanGoNext") return sd_bus_message_append(reply, "b", state.CanGoNext);
  if (name == "CanGoPrevious") return sd_bus_message_append(reply, "b", state.CanGoPrevious);
  if (name == "CanPlay") return sd_bus_message_append(reply, "b", state.CanPlay);
  if (name == "CanPause") return sd_bus_message_append(reply, "b", state.CanPause);
  if (name == "CanSeek") return sd_bus_message_append(reply, "b", state.CanSeek);
  return -EINVAL;
}

int GetMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
  const TMprisTrack track = Of(userdata).Player.State().Track;
  int r = sd_bus_message_open_container(reply, 'a', "{sv}");
  auto entry = [&](const char* key, const char* type, auto value) {
    if (r >= 0) r = sd_bus_message_append(reply, "{sv}", key, type, value);
  };
  entry("mpris:trackid", "o", track.TrackId.empty() ? NoTrack : track.TrackId.c_str());
  if (!track.TrackId.empty()) {
    if (track.LengthUs > 0) entry("mpris:length", "x", static_cast<int64_t>(track.LengthUs));
    if (!track.Url.empty()) entry("xesam:url", "s", track.Url.c_str());
    if (!track.Title.empty()) entry("xesam:title", "s", track.Title.c_str());
    if (!track.Album.empty()) entry("xesam:album", "s", track.Album.c_str());
    if (!track.Artists.empty() && r >= 0) {
      r = sd_bus_message_open_container(reply, 'e', "sv");
      if (r >= 0) r = sd_bus_message_append(reply, "s", "xesam:artist");
      if (r >= 0) r = sd_bus_message_open_container(reply, 'v', "as");
      if (r >= 0) r = sd_bus_message_open_container(reply, 'a', "s");
      for (const std::string& artist : track.Artists) {
        if (r >= 0) r = sd_bus_message_append(reply, "s", artist.c_str());
      }
      for (int i = 0; i < 3 && r >= 0; ++i) r = sd_bus_message_close_container(reply);
    }
  }
  if (r >= 0) r = sd_bus_message_close_container(reply);
  return r;
}

int SetVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void* userdata,
              sd_bus_error* error) {
  double volume = 0;
  const int r = sd_bus_message_read(value, "d", &volume);
  if (r < 0) return r;
  if (std::isnan(volume)) return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Volume is not a number");
  Of(userdata).Player.SetVolume(std::fmin(1.0, std::fmax(0.0, volume)));
  return 1;
}

int SetShuffle(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void* userdata, sd_bus_error*) {
  int shuffle = 0;
  const int r = sd_bus_message_read(value, "b", &shuffle);
  if (r < 0) return r;
  Of(userdata).Player.SetShuffle(shuffle != 0);
  return 1;
}

constexpr uint64_t Changes = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;
constexpr uint64_t Constant = SD_BUS_VTABLE_PROPERTY_CONST;

const sd_bus_vtable RootVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", (Call<&IMprisPlayer::Raise>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Quit", "", "", (Call<&IMprisPlayer::Quit>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("CanQuit", "b", GetTrue, 0, Constant),
    SD_BUS_PROPERTY("CanRaise", "b", GetTrue, 0, Constant),
    SD_BUS_PROPERTY("HasTrackList", "b", GetFalse, 0, Constant),
    SD_BUS_PROPERTY("Fullscreen", "b", GetTrue, 0, Constant),
    SD_BUS_PROPERTY("CanSetFullscreen", "b", GetFalse, 0, Constant),
    SD_BUS_PROPERTY("Identity", "s", GetText, 0, Constant),
    SD_BUS_PROPERTY("DesktopEntry", "s", GetText, 0, Constant),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", GetUriSchemes, 0, Constant),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", GetMimeTypes, 0, Constant),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable PlayerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", (Call<&IMprisPlayer::Next>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Previous", "", "", (Call<&IMprisPlayer::Previous>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Pause", "", "", (Call<&IMprisPlayer::Pause>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("PlayPause", "", "", (Call<&IMprisPlayer::PlayPause>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Stop", "", "", (Call<&IMprisPlayer::Stop>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Play", "", "", (Call<&IMprisPlayer::Play>), SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Seek", "x", "", Seek, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetPosition", "ox", "", SetPosition, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("OpenUri", "s", "", OpenUri, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", GetState, 0, Changes),
    SD_BUS_PROPERTY("LoopStatus", "s", GetText, 0, Constant),
    SD_BUS_PROPERTY("Rate", "d", GetOne, 0, Constant),
    SD_BUS_PROPERTY("MinimumRate", "d", GetOne, 0, Constant),
    SD_BUS_PROPERTY("MaximumRate", "d", GetOne, 0, Constant),
    SD_BUS_WRITABLE_PROPERTY("Shuffle", "b", GetState, SetShuffle, 0, Changes | SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", GetState, SetVolume, 0, Changes | SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("Metadata", "a{sv}", GetMetadata, 0, Changes),
    SD_BUS_PROPERTY("Position", "x", GetState, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", GetState, 0, Changes),
    SD_BUS_PROPERTY("CanGoPrevious", "b", GetState, 0, Changes),
    SD_BUS_PROPERTY("CanPlay", "b", GetState, 0, Changes),
    SD_BUS_PROPERTY("CanPause", "b", GetState, 0, Changes),
    SD_BUS_PROPERTY("CanSeek", "b", GetState, 0, Changes),
    SD_BUS_PROPERTY("CanControl", "b", GetTrue, 0, Constant),
    SD_BUS_VTABLE_END,
};

std::string Reason(const std::string& what, int r) { return what + ": " + std::strerror(-r); }

}  // namespace

std::unique_ptr<TMprisService> TMprisService::Connect(IMprisPlayer& player, std::string& error) {
  auto impl = std::make_unique<TImpl>(player);
  sd_bus* bus = nullptr;
  // Connecting and saying hello do not wait for the bus; replies are handled in Poll.
  int r = sd_bus_open_user(&bus);
  if (r < 0) {
    error = Reason("no session bus", r);
    return nullptr;
  }
  impl->Bus.reset(bus);
  sd_bus_slot* slot = nullptr;
  r = sd_bus_add_object_vtable(bus, &slot, ObjectPath, RootInterface, RootVtable, impl.get());
  if (r < 0) {
    error = Reason("cannot publish the player object", r);
    return nullptr;
  }
  impl->RootSlot.reset(slot);
  r = sd_bus_add_object_vtable(bus, &slot, ObjectPath, PlayerInterface, PlayerVtable, impl.get());
  if (r < 0) {
    error = Reason("cannot publish the player object", r);
    return nullptr;
  }
  impl->PlayerSlot.reset(slot);
  r = sd_bus_request_name_async(bus, nullptr, BusName, 0, nullptr, nullptr);
  if (r < 0) {
    error = Reason("cannot ask for the name " + std::string(BusName), r);
    return nullptr;
  }
  impl->Announced = player.State();
  impl->LastPosition = player.PositionUs();
  return std::unique_ptr<TMprisService>(new TMprisService(std::move(impl)));
}

TMprisService::TMprisService(std::unique_ptr<TImpl> impl) : Impl(std::move(impl)) {}

TMprisService::~TMprisService() {
  // The slots go before the bus.
  Impl->PlayerSlot.reset();
  Impl->RootSlot.reset();
}

bool TMprisService::Poll(std::string& error) {
  sd_bus* bus = Impl->Bus.get();
  for (int i = 0; i < MaxMessagesPerPoll; ++i) {
    const int r = sd_bus_process(bus, nullptr);
    if (r < 0) {
      error = Reason("the session bus is gone", r);
      return false;
    }
    if (r == 0) break;
  }
  Impl->AnnounceChanges();
  return true;
}
