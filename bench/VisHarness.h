#pragma once
// What the player does per frame with the menu closed, headless at 1920 x 1080: the visualization
// step, the particles, the camera, then the scene and the lines drawn against a recording renderer
// that keeps no calls. The capture hook plays the demo track at 1/60 s per frame.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnRecordingRenderer.h"
#include "engine/particles/zrnParticles.h"
#include "player/Screen.h"
#include "player/ParticleEffects.h"
#include "player/Visualizer.h"

// 16-bit interleaved frames of a track, captured as the audio library would at a play position.
class TTrackSamples {
 public:
  bool Load(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    Channels = info.channels;
    Rate = info.samplerate;
    Samples.resize(static_cast<size_t>(info.frames) * Channels);
    Frames = sf_readf_short(file, Samples.data(), info.frames);
    sf_close(file);
    Samples.resize(static_cast<size_t>(Frames) * Channels);
    Real = Frames > 0;
    return Real;
  }
  // A stand-in when the track is missing: a swelling chord, stereo at 44.1 kHz.
  void Synthesize(double seconds) {
    Channels = 2;
    Rate = 44100;
    Frames = static_cast<sf_count_t>(seconds * Rate);
    Samples.resize(static_cast<size_t>(Frames) * 2);
    for (sf_count_t i = 0; i < Frames; ++i) {
      const double t = static_cast<double>(i) / Rate;
      const double env = 0.5 + 0.5 * std::sin(t * 0.7);
      const double v = env * (0.4 * std::sin(2 * M_PI * 220 * t) + 0.3 * std::sin(2 * M_PI * 331 * t) +
                              0.2 * std::sin(2 * M_PI * 55 * t));
      Samples[2 * i] = Samples[2 * i + 1] = static_cast<int16_t>(v * 32000);
    }
    Real = false;
  }
  // The newest bytes before the play position of the given frame of the picture (60 per second).
  void CaptureAt(uint64_t pictureFrame, void* buffer, uint32_t bytes) const {
    const size_t total = Samples.size() * sizeof(int16_t);
    if (total < bytes) return;
    const uint64_t frame = pictureFrame * static_cast<uint64_t>(Rate) / 60 % static_cast<uint64_t>(Frames);
    size_t end = static_cast<size_t>(frame) * Channels * sizeof(int16_t);
    if (end < bytes) end = bytes;
    std::memcpy(buffer, reinterpret_cast<const char*>(Samples.data()) + end - bytes, bytes);
  }

  int Channels = 2;
  int Rate = 44100;
  sf_count_t Frames = 0;
  std::vector<int16_t> Samples;
  bool Real = false;
};

class TFrameHarness {
 public:
  TFrameHarness(const TTrackSamples& track, int32_t width, int32_t height) : Track(track) {
    Device = TZRNRecordingRenderer::MakeDevice(&Recorder, width, height);
    Recorder->Record = false;
    const TScreen screen = TScreen::OfSize(width, height);
    Camera = std::make_unique<TZRNCamera2D>(Device.get());
    Images = std::make_unique<TZRNImageList>(Device.get());
    TZRNImage* particles = Images->Add();
    particles->Name = "Particles";
    particles->Texture = Device->CreateTexture();
    Canvas = std::make_unique<TZRNCanvas>(Device.get());
    Particles = std::make_unique<TZRNParticleManager>(Device.get());
    Particles->SetCapacity(99000);
    Particles->Images = Images.get();
    CreateParticleEffects(*Particles, screen.ScaleX);
    Vis = std::make_unique<TVisualizer>(Device.get(), Canvas.get(), Camera.get(), Particles.get(), screen);
    Vis->Capture = [this](void* buffer, uint32_t bytes) { Track.CaptureAt(Frame, buffer, bytes); };
    Vis->IsPlaying = [] { return true; };
    Vis->HasCurrentFile = [] { return true; };
  }

  void Select(uint8_t visualization) {
    Vis->Visualization = visualization == 0 ? 1 : 0;  // force the reset of a real switch
    Vis->Select(visualization);
  }

  void RunFrame() {
    constexpr float frameTime = 1.0f / 60.0f;
    Vis->Step();
    Particles->Update(frameTime);
    Camera->Update(true, frameTime);
    Device->Clear();
    Device->SetViewMatrix(Camera->Matrix);
    Particles->Render();
    Canvas->Flush(false);
    Device->Flip();
    ++Frame;
  }

  const TTrackSamples& Track;
  uint64_t Frame = 0;
  TZRNRecordingRenderer* Recorder = nullptr;
  std::unique_ptr<TZRNDevice> Device;
  std::unique_ptr<TZRNCamera2D> Camera;
  std::unique_ptr<TZRNImageList> Images;
  std::unique_ptr<TZRNCanvas> Canvas;
  std::unique_ptr<TZRNParticleManager> Particles;
  std::unique_ptr<TVisualizer> Vis;
};

inline const TTrackSamples& DemoTrack() {
  static TTrackSamples track = [] {
    TTrackSamples t;
    const std::string path = std::string(SNV_BINARY_DIR) + "/demo.ogg";
    if (!t.Load(path)) {
      std::fprintf(stderr, "note: %s is missing; using a synthetic signal instead\n", path.c_str());
      t.Synthesize(45);
    }
    return t;
  }();
  return track;
}

