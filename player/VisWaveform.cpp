// The four waveform visualizations: "Oscilloscope", "Oscillotrack", "Osc-builder", "Osc-runner".
#include <algorithm>
#include <cmath>

#include "engine/core/zrnMath.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "player/AudioAnalysis.h"
#include "player/ParticleEffects.h"
#include "player/VisGeometry.h"
#include "player/Visualizer.h"

namespace {

// Sample value of a buffer entry whose index grows with the screen width; on screens wider than
// the buffer was sized for, the index stops at the last entry instead of reading past it.
inline float WaveValue(const uint32_t* buffer, int64_t index) {
  return SampleValue(buffer[std::min<int64_t>(index, CaptureEntries - 1)]);
}

}  // namespace

void TVisualizer::Oscilloscope() {
  Canvas->Clear();
  CaptureBytes(2048);
  if (ColorPhase < 0 || ColorPhase > 360) ColorPhase = 0;
  const int32_t m = ColorPhase % 3 + 1;
  const int32_t width = Device->Width(), height = Device->Height();
  const bool file = CurrentFile();
  for (int32_t L = -m; L <= m; ++L) {
    Previous = {0, 0};
    SetPen({static_cast<float>(((ColorPhase + 1) % 4) * 0.25L), static_cast<float>(((ColorPhase + 2) % 4) * 0.25L),
            static_cast<float>(((ColorPhase + 3) % 4) * 0.25L), TraceAlpha(L)});
    for (int32_t i = 0; i < width / 2; ++i) {
      const float x = static_cast<float>(2 * i);
      float y = static_cast<float>(L * static_cast<long double>(Screen.ScaleX) * 4 + Screen.CenterY);
      if (file) {
        const int64_t entry = Round(2048.0L / width * 0.5L * i);
        y = static_cast<float>(static_cast<long double>(WaveValue(CaptureBuffer, entry)) * height + y);
      }
      SegmentTo(x, y);
    }
  }
  if (VisFrame % 64 == 0) ++ColorPhase;
}

void TVisualizer::Oscillotrack() {
  const float speed = static_cast<float>(Screen.ScaleX * 12.0L);
  const int32_t width = Device->Width(), height = Device->Height();
  if (Camera->X == 0) {
    Camera->X = static_cast<float>(width);
    Camera->Y = 0;
  }
  Camera->MoveX(static_cast<float>(Round(speed)));
  CaptureBytes(2048);
  const int32_t thickness = static_cast<int32_t>(Round(Screen.ScaleX * 2.0L)) + 1;
  const bool file = CurrentFile();
  float y = 0;
  Previous = {0, Radius};
  const int64_t last = Round(width - static_cast<long double>(speed));
  for (int64_t u = width; u >= last; --u) {
    const float x = static_cast<float>(u);
    y = Screen.CenterY;
    if (file) y = static_cast<float>(height * static_cast<long double>(WaveValue(CaptureBuffer, width - u)) + Screen.CenterY);
    if (Previous.X == 0) Previous.X = x;
    if (Previous.Y == 0) Previous.Y = y;
    TColor4f color = TrackColor(ColorPhase);
    const long double left = Camera->X;
    for (int32_t L = -thickness; L <= thickness; ++L) {
      color.Alpha = TraceAlpha(L);
      SetPen(color);
      Line(static_cast<float>(left + Previous.X), static_cast<float>(L + static_cast<long double>(Previous.Y)),
           static_cast<float>(left + x), static_cast<float>(L + static_cast<long double>(y)));
    }
    Previous = {x, y};
    ++ColorPhase;
    if (ColorPhase < 0 || ColorPhase > 360) ColorPhase = 0;
  }
  Radius = y;
  DropScrolledLines();
  RebaseTrack();
}

void TVisualizer::ParticleWavePoint(int32_t i, float x, float y, float& previousY) {
  if (i > 0) {
    const long double jump = std::fabs(static_cast<long double>(previousY) - y);
    if (jump > 8) {
      const long double step = previousY < y ? 8 : -8;
      const int64_t n = Round(jump) / 8;
      for (int64_t j = 1; j <= n; ++j)
        Spawn(OscEffects + static_cast<int32_t>(j % 3), std::min(static_cast<float>(x - 3 + j), x),
              static_cast<float>(previousY + j * step));
    }
  }
  Spawn(OscEffects + i % 3, x, y);
  previousY = y;
}

void TVisualizer::OscBuilder() {
  CaptureBytes(2048);
  float previousY = Radius;
  if (previousY == 0) previousY = Screen.CenterY;
  const int32_t width = Device->Width(), height = Device->Height();
  const bool file = CurrentFile();
  for (int32_t i = 0; i < width / 2; ++i) {
    const float x = static_cast<float>(2 * i);
    const float y = file ? static_cast<float>(static_cast<long double>(WaveValue(CaptureBuffer, i / 2)) * height + Screen.CenterY)
                         : static_cast<float>(Screen.CenterY);
    ParticleWavePoint(i, x, y, previousY);
  }
  Radius = previousY;
}

void TVisualizer::OscRunner() {
  const uint16_t start = static_cast<uint16_t>(Round(Angle));
  CaptureBytes(2048);
  float previousY = Radius;
  if (previousY == 0) previousY = Screen.CenterY;
  const int32_t width = Device->Width(), height = Device->Height();
  const bool file = CurrentFile();
  for (int32_t i = start; i <= start + 32; ++i) {
    const float x = static_cast<float>(2 * i);
    float y = Screen.CenterY;
    if (file && i != 0 && i != start)
      y = static_cast<float>(static_cast<long double>(WaveValue(CaptureBuffer, i / 2)) * height + Screen.CenterY);
    ParticleWavePoint(i, x, y, previousY);
  }
  Radius = previousY;
  Angle = static_cast<float>(Angle + 32.0L);
  if (width / 2.0L < Angle) Angle = 0;
}
