// The four spiral visualizations: "Spiro-Spectr", "Spiro-Crazy", "Spiral0metr", "Chaos Pulse".
#include "engine/core/zrnMath.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "player/AudioAnalysis.h"
#include "player/ParticleEffects.h"
#include "player/VisGeometry.h"
#include "player/Visualizer.h"

namespace {

// Stored values are singles; the arithmetic on them is carried out in extended precision.
inline void Grow(float& value, long double delta) { value = static_cast<float>(value + delta); }

// A spiral leaves the screen long before this; the cap only keeps a degenerate amplitude
// (a window a few pixels wide) from spinning forever.
constexpr int MaxSpiralPasses = 1000;

}  // namespace

void TVisualizer::SpiroSpectr() {
  Canvas->Clear();
  Previous = {0, 0};
  if (VisFrame % 240 == 0) ++ColorPhase;
  if (ColorPhase < 1 || ColorPhase > 3) ColorPhase = 1;
  const int32_t group = ColorPhase - 1;
  static constexpr TColor4f PhaseColors[3] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
  SetPen(PhaseColors[group]);

  const bool file = CurrentFile();
  if (file) CaptureBytes(2048);
  const int32_t width = Device->Width(), height = Device->Height();
  float level = 0;
  for (int pass = 0; pass < MaxSpiralPasses; ++pass) {
    for (int32_t i = 0; i < 2048; ++i) {
      float amplitude = static_cast<float>(Screen.ScaleX * 9.0L);
      if (file) {
        level = SampleValue(CaptureBuffer[i / 2]);
        amplitude = static_cast<float>(level * 3.0L + amplitude);
      }
      const TVector2f p = SpiralPoint(Radius, Angle, amplitude, Screen.CenterX, Screen.CenterY);
      if (Previous.X == 0 && Previous.Y == 0) Previous = p;
      // Thresholds compare as singles, so a level of exactly 0.3 does not count as loud.
      if (file && level > 0.3f) {
        const int q = SpiralQuadrant(p.X, p.Y, Screen.CenterX, Screen.CenterY);
        if (q > 0) Spawn(SparkEffect(group, q), p.X, p.Y);
      }
      Grow(Radius, 0.05L);
      Line(Previous.X, Previous.Y, p.X, p.Y);
      Previous = p;
      if (LeftScreen(p, width, height)) {
        Radius = 0;
        Grow(Angle, 1);
        if (Angle > 360) Grow(Angle, -360);
        Previous = {0, 0};
        return;
      }
    }
  }
}

void TVisualizer::SpiroCrazy() {
  Canvas->Clear();
  Previous = {0, 0};
  const bool file = CurrentFile();
  if (file) CaptureBytes(2048);
  const int32_t width = Device->Width(), height = Device->Height();
  for (int32_t pass = 1; pass <= 3; ++pass) {
    for (int32_t i = 0; i < 2048; ++i) {
      float amplitude = 8;
      if (file) amplitude = static_cast<float>(SampleValue(CaptureBuffer[i / 2]) * 4.0L + 8);
      const TVector2f p = SpiralPoint(Radius, Angle, amplitude, Screen.CenterX, Screen.CenterY);
      if (Previous.X == 0 && Previous.Y == 0) Previous = p;
      Grow(Radius, 0.05L);
      SetPen({static_cast<float>(((i + 1) % 4) * 0.25L), static_cast<float>(((i + 2) % 4) * 0.25L),
              static_cast<float>(((i + 3) % 4) * 0.25L), static_cast<float>(pass * 0.3L)});
      Line(Previous.X, Previous.Y, p.X, p.Y);
      Previous = p;
      if (LeftScreen(p, width, height)) {
        Radius = 0;
        Grow(Angle, 0.4L);
        if (Angle > 360) Grow(Angle, -360);
        break;
      }
    }
    Previous = {0, 0};
  }
}

void TVisualizer::Spiral0metr() {
  CaptureBytes(48);
  const uint16_t count = static_cast<uint16_t>(Round(SampleLevel(CaptureBuffer[0]) * 100.0L) + 10);
  long double sum = 0;
  for (uint32_t k = 0; k < 48; ++k) sum += SampleValue(CaptureBuffer[k]);
  const float amplitude = static_cast<float>(50 + sum);
  const int32_t width = Device->Width(), height = Device->Height();
  for (int32_t i = 0; i < count; ++i) {
    const TVector2f p = SpiralPoint(Radius, Angle, amplitude, Screen.CenterX, Screen.CenterY);
    Spawn(SpiralEffects + i % 3, p.X, p.Y);
    Grow(Radius, 0.05L);
    if (LeftScreen(p, width, height)) {
      Radius = 0;
      Angle = static_cast<float>(SampleLevel(CaptureBuffer[0]) * 6.0L + Angle + 0.5L);
      if (Angle > 359) Grow(Angle, -359);
    }
  }
}

void TVisualizer::ChaosPulse() {
  uint16_t count = 24;
  float amplitude = 8;
  float level = 0;
  if (Playing()) {
    CaptureBytes(48);
    level = SampleLevel(CaptureBuffer[0]);
    amplitude = static_cast<float>(8 + 8.0L * level);
    if (level > 0.5f) count = 36;
    if (level > 0.6f) count = 48;
    if (level > 0.8f) count = 64;
  }
  const int32_t width = Device->Width(), height = Device->Height();
  for (int32_t i = 0; i < count; ++i) {
    if (level > 0) {
      level = SampleLevel(CaptureBuffer[i]);
      if (level > 0.5f) Grow(Radius, -0.02L);
      if (level > 0.8f) Grow(Radius, -0.02L);
    }
    const TVector2f p = SpiralPoint(Radius, Angle, amplitude, Screen.CenterX, Screen.CenterY);
    Spawn(KaosEffects + i % 3, p.X, p.Y);
    Grow(Radius, 0.05L);
    if (LeftScreen(p, width, height)) {
      Radius = 0;
      Grow(Angle, 1);
      if (Angle > 359) Angle = 0;
    }
  }
}
