#pragma once
// Immediate-mode batcher for untextured lines: one draw call per flush.
#include <cstdint>
#include <memory>

#include "engine/core/zrnClasses.h"
#include "engine/core/zrnTypes.h"
#include "engine/device/zrnDevice.h"

class TZRNBrush {
 public:
  uint8_t Style = 0;  // kept for the application; the canvas never reads it
  TColor4f Color = clrWhite;
};

class TZRNPen {
 public:
  TColor4f Color = clrWhite;
  uint8_t Style = 0;  // kept for the application; the canvas never reads it
};

class TZRNCanvas {
 public:
  explicit TZRNCanvas(TZRNDevice* device);
  TZRNCanvas(const TZRNCanvas&) = delete;
  TZRNCanvas& operator=(const TZRNCanvas&) = delete;

  // Switching the kind draws what was collected with the old kind first.
  void SetPrimitive(TZRNPrimitive primitive);
  // Draws everything collected (even nothing) untextured; keeps the vertices unless clear.
  void Flush(bool clear);
  void Clear();
  void Line(float x1, float y1, float x2, float y2);

  TZRNDevice* Device;
  std::unique_ptr<TZRNVertexList> Vertices;
  std::unique_ptr<TZRNPen> Pen;
  std::unique_ptr<TZRNBrush> Brush;
  TZRNPrimitive Primitive = ptPoints;
  // Pixels; HiDPI screens draw thicker lines so they keep their weight.
  float LineWidth = 1.0f;
};
