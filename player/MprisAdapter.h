#pragma once
// The player seen through the media-player interface: each request takes the path of the
// matching hot key or menu button, so its effect (and what is stored at exit) is the same.
#include <cstdint>

#include "platform/Mpris.h"
#include "player/TrackInfo.h"

class TDemo;

class TMprisAdapter : public IMprisPlayer {
 public:
  explicit TMprisAdapter(TDemo& demo) : Demo(demo) {}

  TMprisState State() override;
  int64_t PositionUs() override;
  void Raise() override;
  void Quit() override;
  void Play() override;
  void Pause() override;
  void PlayPause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  void SetPositionUs(int64_t position) override;
  void SetVolume(double volume) override;
  void SetShuffle(bool shuffle) override;
  bool OpenPath(const std::string& path) override;

 private:
  int64_t BytesPerSecond() const;
  const TTrackInfo& Described();
  TDemo& Demo;
  // Stop leaves the track paused at its start; it reads as stopped until it plays again.
  uint32_t StoppedStream = 0;
  // The description of the stream in DescribedStream, read once per track.
  uint32_t DescribedStream = 0;
  TTrackInfo Description;
};
