#pragma once
// An audio backend for tests: one stream whose position and length the test sets.
#include <string>
#include <vector>

#include "player/AudioBridge.h"

class FakeAudio : public audio::IBackend {
 public:

  std::vector<std::string> Calls;
  uint32_t NextHandle = 7;
  uint32_t Live = 0;  // the handle that answers queries; 0 = none
  int64_t Position = 0;
  int64_t Length = 0;
  float LastVolume = -1;
  int64_t LastSeek = -2;
  bool Playing = false;

  bool Init(int, uint32_t, uint32_t) override { return Log("Init", true); }
  void Free() override { Calls.push_back("Free"); }
  void SetMasterVolume(float) override { Calls.push_back("SetMasterVolume"); }
  uint32_t StreamCreateFile(const std::string& path, uint32_t) override {
    Calls.push_back("StreamCreateFile " + path);
    Live = path.find("bad") == std::string::npos ? NextHandle++ : 0;
    Playing = false;
    return Live;
  }
  bool StreamFree(uint32_t h) override {
    if (h == Live && h != 0) Live = 0;
    return Log("StreamFree", true);
  }
  bool ChannelPlay(uint32_t h, bool) override {
    Playing = h == Live && h != 0;
    return Log("ChannelPlay", Playing);
  }
  bool ChannelPause(uint32_t h) override {
    Playing = false;
    return Log("ChannelPause", h == Live);
  }
  bool ChannelStop(uint32_t) override { return Log("ChannelStop", true); }
  uint32_t ChannelIsActive(uint32_t h) override { return h == Live && Playing ? AUDIO_ACTIVE_PLAYING : AUDIO_ACTIVE_STOPPED; }
  bool ChannelSetAttribute(uint32_t, uint32_t, float v) override {
    LastVolume = v;
    return Log("ChannelSetAttribute", true);
  }
  int64_t ChannelGetPosition(uint32_t h, uint32_t) override { return h != 0 && h == Live ? Position : -1; }
  int64_t ChannelGetLength(uint32_t h, uint32_t) override { return h != 0 && h == Live ? Length : -1; }
  bool ChannelSetPosition(uint32_t h, int64_t p, uint32_t) override {
    LastSeek = p;
    if (h == 0 || h != Live || p < 0 || p > Length) return Log("ChannelSetPosition refused", false);
    Position = p;
    return Log("ChannelSetPosition", true);
  }
  int32_t ChannelGetData(uint32_t, void*, uint32_t) override { return -1; }

  size_t Count(const std::string& name) const {
    size_t n = 0;
    for (const auto& c : Calls)
      if (c.rfind(name, 0) == 0) ++n;
    return n;
  }

 private:
  bool Log(const char* name, bool result) {
    Calls.push_back(name);
    return result;
  }
};
