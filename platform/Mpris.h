#pragma once
// The desktop's media-player interface (MPRIS) on the session bus: media keys, desktop media
// controls and tools like playerctl reach the player through it. Everything runs on the caller's
// thread from Poll, which never blocks.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What the desktop shows of a track. Fields left empty are not sent.
struct TMprisTrack {
  std::string TrackId;  // a D-Bus object path; empty when nothing is loaded
  std::string Url;
  std::string Title;
  std::vector<std::string> Artists;
  std::string Album;
  int64_t LengthUs = 0;
  bool operator==(const TMprisTrack&) const = default;
};

enum class TMprisStatus { Stopped, Playing, Paused };

struct TMprisState {
  TMprisStatus Status = TMprisStatus::Stopped;
  bool Shuffle = false;
  double Volume = 1.0;
  bool CanGoNext = false;
  bool CanGoPrevious = false;
  bool CanPlay = false;
  bool CanPause = false;
  bool CanSeek = false;
  TMprisTrack Track;
  bool operator==(const TMprisState&) const = default;
};

// The player as the service sees it. Positions are within the current track.
class IMprisPlayer {
 public:
  virtual ~IMprisPlayer() = default;
  virtual TMprisState State() = 0;
  virtual int64_t PositionUs() = 0;
  virtual void Raise() = 0;
  virtual void Quit() = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void PlayPause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;
  virtual void Previous() = 0;
  virtual void SetPositionUs(int64_t position) = 0;
  virtual void SetVolume(double volume) = 0;  // already clamped to 0..1
  virtual void SetShuffle(bool shuffle) = 0;
  // An absolute path from a file:// URI or a plain path; false when nothing could be added.
  virtual bool OpenPath(const std::string& path) = 0;
};

class TMprisService {
 public:
  static constexpr const char* BusName = "org.mpris.MediaPlayer2.sonavarium";

  // Null, with the reason in error, when there is no session bus to connect to.
  static std::unique_ptr<TMprisService> Connect(IMprisPlayer& player, std::string& error);
  ~TMprisService();
  TMprisService(const TMprisService&) = delete;
  TMprisService& operator=(const TMprisService&) = delete;

  // Answers waiting calls and announces what changed since the last poll. False once the bus
  // connection is lost (the reason in error); the service is then of no further use.
  bool Poll(std::string& error);

  struct TImpl;

 private:
  explicit TMprisService(std::unique_ptr<TImpl> impl);
  std::unique_ptr<TImpl> Impl;
};

// A file:// URI (any host part dropped, %XX decoded) or an absolute path as a path; empty for
// other schemes, relative paths and damaged URIs.
std::string PathFromUri(const std::string& uri);
