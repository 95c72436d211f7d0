#include "player/Visualizer.h"

#include <cstring>

#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "engine/particles/zrnParticles.h"

TVisualizer::TVisualizer(TZRNDevice* device, TZRNCanvas* canvas, TZRNCamera2D* camera,
                         TZRNParticleManager* particles, const TScreen& screen)
    : Device(device), Canvas(canvas), Camera(camera), Particles(particles), Screen(screen) {}

void TVisualizer::Step() {
  ++VisFrame;
  if (Visualization >= VisualizationCount) return;
  const TVisualizationRow& row = Visualizations[Visualization];
  if (VisFrame % row.Cadence == 0) (this->*row.Step)();
}

void TVisualizer::Select(uint8_t index) {
  if (index >= VisualizationCount) index = 0;
  if (index != Visualization) Reset();
  Visualization = index;
}

void TVisualizer::Reset() {
  Camera->X = 0;
  Camera->Y = 0;
  Particles->Systems->Clear();
  Canvas->Clear();
  DeadTrackVertices = 0;
  Radius = 0;
  Angle = 0;
  ColorPhase = 0;
}

void TVisualizer::CaptureBytes(uint32_t bytes) {
  if (Capture) Capture(CaptureBuffer, bytes);
}

void TVisualizer::Spawn(int32_t effect, float x, float y) {
  Particles->SpawnAt(Particles->Effects->Items(effect), Vector3f(x, y, 0));
}

void TVisualizer::SetPen(const TColor4f& color) { Canvas->Pen->Color = color; }

void TVisualizer::Line(float x1, float y1, float x2, float y2) { Canvas->Line(x1, y1, x2, y2); }

void TVisualizer::SegmentTo(float x, float y) {
  if (Previous.X == 0 && Previous.Y == 0) Previous = {x, y};
  Line(Previous.X, Previous.Y, x, y);
  Previous = {x, y};
}

void TVisualizer::RebaseTrack() {
  // Single-precision positions are whole pixels only up to 2^24 (about five hours of this mode at
  // 1920 px). Long before that the camera and the strip move back together by a whole number of
  // pixels, which leaves the picture exactly as it was.
  constexpr float kRebaseAt = 1 << 20;
  if (Camera->X < kRebaseAt) return;
  const float shift = Camera->X - static_cast<float>(Device->Width());
  Camera->X -= shift;
  TZRNVertexList& vertices = *Canvas->Vertices;
  for (int32_t i = 0; i < vertices.Count; ++i) vertices[i].Position.X -= shift;
}

void TVisualizer::DropScrolledLines() {
  TZRNVertexList& vertices = *Canvas->Vertices;
  if (DeadTrackVertices > vertices.Count) DeadTrackVertices = 0;
  // Strips are appended in the order the camera passed them, so the dead ones form a prefix.
  const float left = Camera->X;
  while (DeadTrackVertices + 1 < vertices.Count && vertices[DeadTrackVertices].Position.X < left &&
         vertices[DeadTrackVertices + 1].Position.X < left)
    DeadTrackVertices += 2;
  if (DeadTrackVertices > 0 && DeadTrackVertices * 2 > vertices.Count) {
    const int32_t live = vertices.Count - DeadTrackVertices;
    std::memmove(&vertices[0], &vertices[DeadTrackVertices], static_cast<size_t>(live) * sizeof(TVertex));
    vertices.Count = live;
    DeadTrackVertices = 0;
  }
}
