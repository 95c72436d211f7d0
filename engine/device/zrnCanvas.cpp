#include "engine/device/zrnCanvas.h"

TZRNCanvas::TZRNCanvas(TZRNDevice* device)
    : Device(device),
      Vertices(std::make_unique<TZRNVertexList>()),
      Pen(std::make_unique<TZRNPen>()),
      Brush(std::make_unique<TZRNBrush>()) {}

void TZRNCanvas::SetPrimitive(TZRNPrimitive primitive) {
  if (primitive == Primitive) return;
  Flush(true);
  Primitive = primitive;
}

void TZRNCanvas::Flush(bool clear) {
  Device->SetTexture(nullptr, 0);
  Device->SetLineWidth(LineWidth);
  Device->DrawPrimitives(Primitive, *Vertices);
  if (clear) Vertices->Clear();
}

void TZRNCanvas::Clear() { Vertices->Clear(); }

void TZRNCanvas::Line(float x1, float y1, float x2, float y2) {
  SetPrimitive(ptLines);
  const int32_t first = Vertices->Alloc(2);
  TVertex* v = &Vertices->List[first];
  v[0].TexCoord = Vector2f(0, 0);
  v[0].Color = Pen->Color;
  v[0].Normal = UnitZ;
  v[0].Position = Vector3f(x1, y1, 0);
  v[1].TexCoord = Vector2f(0, 0);
  v[1].Color = Pen->Color;
  v[1].Normal = UnitZ;
  v[1].Position = Vector3f(x2, y2, 0);
}
