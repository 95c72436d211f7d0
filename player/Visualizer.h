#pragma once
// The visualizations: their state between frames, one step per visualization frame, and the
// table that lists them.
#include <cstdint>
#include <functional>
#include <iterator>

#include "engine/core/zrnTypes.h"
#include "player/Screen.h"

class TZRNDevice;
class TZRNCanvas;
class TZRNCamera2D;
class TZRNParticleManager;

inline constexpr uint32_t CaptureEntries = 2050;

class TVisualizer {
 public:
  // None of the objects is owned; they belong to the player and must outlive the visualizer.
  TVisualizer(TZRNDevice* device, TZRNCanvas* canvas, TZRNCamera2D* camera, TZRNParticleManager* particles,
              const TScreen& screen);

  // One visualization frame of the active visualization.
  void Step();
  // The switch between visualizations: an index past the last selects 0; a change resets.
  void Select(uint8_t index);
  // What a change of visualization resets: camera position, particle systems, canvas, spiral state.
  void Reset();

  // Hooks into the player. Capture copies the newest bytes of the playing stream into the buffer
  // and leaves it untouched when there is no stream.
  std::function<void(void*, uint32_t)> Capture;
  std::function<bool()> IsPlaying;
  std::function<bool()> HasCurrentFile;

  // The active visualization.
  uint8_t Visualization = 0;
  uint32_t VisFrame = 0;
  // Spiral radius; the waveform modes keep the last trace height here.
  float Radius = 0;
  // Spiral angle in degrees; Osc-runner keeps the start of its run here.
  float Angle = 0;
  int16_t ColorPhase = 0;
  // 16-bit PCM as captured; entries past a short capture keep what earlier captures left there.
  uint32_t CaptureBuffer[CaptureEntries] = {};

  // One frame of each visualization; the table below says which runs when.
  void SpiroSpectr();
  void SpiroCrazy();
  void Spiral0metr();
  void ChaosPulse();
  void Oscilloscope();
  void Oscillotrack();
  void OscBuilder();
  void OscRunner();

 private:

  void CaptureBytes(uint32_t bytes);
  bool Playing() const { return IsPlaying && IsPlaying(); }
  bool CurrentFile() const { return HasCurrentFile && HasCurrentFile(); }
  void Spawn(int32_t effect, float x, float y);
  // Line from the previous point (which a first point of (0, 0) starts) to (x, y).
  void SegmentTo(float x, float y);
  void Line(float x1, float y1, float x2, float y2);
  void SetPen(const TColor4f& color);
  // Particle chain of the two particle waveform modes, with the filling of steep jumps.
  void ParticleWavePoint(int32_t i, float x, float y, float& previousY);
  // Oscillotrack only moves right: lines left of the camera can never show again.
  void DropScrolledLines();
  void RebaseTrack();

  TZRNDevice* Device;
  TZRNCanvas* Canvas;
  TZRNCamera2D* Camera;
  TZRNParticleManager* Particles;
  TScreen Screen;
  TVector2f Previous{0, 0};
  int32_t DeadTrackVertices = 0;
};

// Every visualization, in menu, hot-key and options-file order: the name on its button, every how
// many visualization frames it steps, and its step.
struct TVisualizationRow {
  const char* Name;
  uint32_t Cadence;
  void (TVisualizer::*Step)();
};

inline constexpr TVisualizationRow Visualizations[] = {
    {"Spiro-Spectr", 8, &TVisualizer::SpiroSpectr},   {"Spiro-Crazy", 4, &TVisualizer::SpiroCrazy},
    {"Spiral0metr", 1, &TVisualizer::Spiral0metr},    {"Chaos Pulse", 1, &TVisualizer::ChaosPulse},
    {"Oscilloscope", 4, &TVisualizer::Oscilloscope},  {"Oscillotrack", 2, &TVisualizer::Oscillotrack},
    {"Osc-builder", 24, &TVisualizer::OscBuilder},    {"Osc-runner", 1, &TVisualizer::OscRunner},
};
inline constexpr uint8_t VisualizationCount = static_cast<uint8_t>(std::size(Visualizations));

class TDemo;
// Gives the player its visualizer, bound to its device, canvas, camera and particle manager
// (all created before) and hooked to its stream state. Init calls it before SetVisualization.
void CreateVisualizer(TDemo& demo);
