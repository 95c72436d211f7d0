#pragma once
// A visualizer on a recording device with a real canvas, camera and particle manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnRecordingRenderer.h"
#include "engine/particles/zrnParticles.h"
#include "player/ParticleEffects.h"
#include "player/VisGeometry.h"
#include "player/Visualizer.h"

// One 32-bit capture entry from its two 16-bit halves.
inline uint32_t Entry(int32_t low, int32_t high) {
  return static_cast<uint16_t>(low) | (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}

struct TSpawned {
  int32_t Effect;
  float X, Y;
};

struct TDrawnLine {
  float X1, Y1, X2, Y2;
  TColor4f Color;
};

class VisTest : public ::testing::Test {
 protected:
  void Build(int32_t width, int32_t height, int32_t pool = 20000) {
    Device = TZRNRecordingRenderer::MakeDevice(&Recorder, width, height);
    Screen = TScreen::OfSize(width, height);
    Canvas = std::make_unique<TZRNCanvas>(Device.get());
    Camera = std::make_unique<TZRNCamera2D>(Device.get());
    Particles = std::make_unique<TZRNParticleManager>(Device.get());
    Particles->SetCapacity(pool);
    Images = std::make_unique<TZRNImageList>(Device.get());
    TZRNImage* sprites = Images->Add();
    sprites->Name = "Particles";
    sprites->Texture = Device->CreateTexture();
    Particles->Images = Images.get();
    CreateParticleEffects(*Particles, Screen.ScaleX);
    Vis = std::make_unique<TVisualizer>(Device.get(), Canvas.get(), Camera.get(), Particles.get(), Screen);
    Vis->Capture = [this](void* buffer, uint32_t bytes) {
      CaptureSizes.push_back(bytes);
      if (Stream.empty()) return;  // no stream: the buffer stays as it was
      std::copy_n(Stream.begin(), std::min<size_t>(bytes / 4, Stream.size()), static_cast<uint32_t*>(buffer));
    };
    Vis->IsPlaying = [this] { return Playing; };
    Vis->HasCurrentFile = [this] { return HasFile; };
  }
  void SetUp() override { Build(800, 600); }

  // Runs frames until the visualizer has done one frame whose number is a multiple of n.
  void StepTo(uint32_t n) {
    do Vis->Step();
    while (Vis->VisFrame % n != 0);
  }

  int32_t EffectIndex(const TZRNParticleEffect* effect) const {
    for (int32_t i = 0; i < Particles->Effects->Count(); ++i)
      if (Particles->Effects->Items(i) == effect) return i;
    return -1;
  }
  // Active systems; their order is the pool's (sorted by texture), not the spawn order.
  std::vector<TSpawned> Spawns() const {
    std::vector<TSpawned> out;
    for (int32_t i = 0; i < Particles->Systems->Count; ++i) {
      const TZRNParticleSystem* s = (*Particles->Systems)[i];
      out.push_back({EffectIndex(s->Effect), s->Position.X, s->Position.Y});
    }
    return out;
  }
  std::vector<TDrawnLine> Lines() const {
    std::vector<TDrawnLine> out;
    const TZRNVertexList& v = *Canvas->Vertices;
    for (int32_t i = 0; i + 1 < v.Count; i += 2)
      out.push_back({v[i].Position.X, v[i].Position.Y, v[i + 1].Position.X, v[i + 1].Position.Y, v[i].Color});
    return out;
  }

  TScreen Screen;
  TZRNRecordingRenderer* Recorder = nullptr;
  std::unique_ptr<TZRNDevice> Device;
  std::unique_ptr<TZRNCanvas> Canvas;
  std::unique_ptr<TZRNCamera2D> Camera;
  std::unique_ptr<TZRNImageList> Images;
  std::unique_ptr<TZRNParticleManager> Particles;
  std::unique_ptr<TVisualizer> Vis;
  std::vector<uint32_t> Stream;  // what a capture delivers; empty = no stream
  std::vector<uint32_t> CaptureSizes;
  bool Playing = false;
  bool HasFile = false;
};
