#include <gtest/gtest.h>

#include "engine/core/zrnMath.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnRecordingRenderer.h"

namespace {
const TColor4f Red{1, 0, 0, 1};
const TColor4f Green{0, 1, 0, 0.5f};
}  // namespace

TEST(Canvas, FirstLineFlushesAnEmptyPointBatchThenCollects) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  TZRNCanvas canvas(device.get());
  canvas.Line(1, 2, 3, 4);
  auto draws = rec->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->Primitive, ptPoints);
  EXPECT_EQ(draws[0]->Count, 0);
  EXPECT_EQ(canvas.Primitive, ptLines);
  EXPECT_EQ(canvas.Vertices->Count, 2);

  canvas.Line(5, 6, 7, 8);  // same kind: no draw
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::DrawPrimitives).size(), 1u);
}

TEST(Canvas, EachLineKeepsThePenColourOfItsCall) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  TZRNCanvas canvas(device.get());
  canvas.Pen->Color = Red;
  canvas.Line(1, 2, 3, 4);
  canvas.Pen->Color = Green;
  canvas.Line(10, 20, 30, 40);
  rec->Reset();
  canvas.Flush(true);

  auto draws = rec->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0]->Count, 4);
  EXPECT_EQ(draws[0]->Primitive, ptLines);
  const auto& v = draws[0]->Vertices;
  EXPECT_EQ(v[0].Color, Red);
  EXPECT_EQ(v[1].Color, Red);
  EXPECT_EQ(v[2].Color, Green);
  EXPECT_EQ(v[3].Color, Green);
  EXPECT_EQ(v[2].Position, Vector3f(10, 20, 0));
  EXPECT_EQ(v[3].Position, Vector3f(30, 40, 0));
  for (const TVertex& vertex : v) {
    EXPECT_EQ(vertex.Normal, UnitZ);
    EXPECT_EQ(vertex.TexCoord.X, 0.0f);
    EXPECT_EQ(vertex.TexCoord.Y, 0.0f);
  }
  EXPECT_EQ(canvas.Vertices->Count, 0);
}

TEST(Canvas, FlushWithoutClearDrawsTheSameLinesAgainUntextured) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  auto texture = device->CreateTexture();
  TZRNCanvas canvas(device.get());
  canvas.Line(0, 0, 100, 100);
  device->SetTexture(texture.get(), 0);  // left bound by earlier drawing
  rec->Reset();

  canvas.Flush(false);
  canvas.Flush(false);
  auto unbinds = rec->CallsOf(TZRNCallKind::SetTexture);
  ASSERT_EQ(unbinds.size(), 1u) << "the device's cache skips the second unbind";
  EXPECT_EQ(unbinds[0]->Texture, nullptr);
  auto draws = rec->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0]->Vertices.size(), 2u);
  EXPECT_EQ(draws[1]->Vertices[1].Position, draws[0]->Vertices[1].Position);

  canvas.Clear();  // drops the lines without drawing
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::DrawPrimitives).size(), 2u);
  canvas.Flush(false);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::DrawPrimitives).back()->Count, 0);
  // The canvas never touches the blend state.
  EXPECT_TRUE(rec->CallsOf(TZRNCallKind::SetBlendMode).empty());
}

TEST(Camera2D, HandsTheDeviceTranslateAfterRotate) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  TZRNCamera2D camera(device.get());
  EXPECT_EQ(camera.Name, "Camera");
  camera.Update(true, 0.016f);
  auto views = rec->CallsOf(TZRNCallKind::SetViewMatrix);
  ASSERT_EQ(views.size(), 1u);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(views[0]->Matrix[i], IdentityMatrix[i]) << i;

  camera.MoveX(100);
  camera.Y = -20;
  camera.Update(true, 0);
  const TMatrix4f& shifted = rec->CallsOf(TZRNCallKind::SetViewMatrix).back()->Matrix;
  EXPECT_EQ(shifted[12], -100.0f);  // the scene moves 100 pixels left
  EXPECT_EQ(shifted[13], 20.0f);

  // Rotation is about the window's top-left corner: a point at (10, 0) turns by -90 degrees.
  camera.X = 0;
  camera.Y = 0;
  camera.Angle = 90;
  camera.Update(true, 0);
  const TVector3f p = MatrixTransform(camera.Matrix, Vector3f(10, 0, 0));
  EXPECT_NEAR(p.X, 0, 1e-5);
  EXPECT_NEAR(p.Y, -10, 1e-5);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetViewMatrix).back()->Matrix[1], camera.Matrix[1]);
}

TEST(Camera2D, SnapRoundsHalvesToEvenAndStoresBack) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  TZRNCamera2D camera(device.get());
  camera.X = 2.5f;
  camera.Y = 3.5f;
  camera.Angle = 10.5f;
  camera.Update(true, 0);
  EXPECT_EQ(camera.X, 2.0f);
  EXPECT_EQ(camera.Y, 4.0f);
  EXPECT_EQ(camera.Angle, 10.0f);
  EXPECT_EQ(camera.Matrix[12], -2.0f);
  EXPECT_EQ(camera.Matrix[13], -4.0f);

  camera.X = 2.25f;
  camera.Angle = 0;
  camera.Update(false, 0);  // without snap the fraction stays
  EXPECT_EQ(camera.X, 2.25f);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetViewMatrix).back()->Matrix[12], -2.25f);
}

TEST(Canvas, LineWidthReachesTheRendererOnceAndOnlyWhenItDiffers) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  TZRNCanvas canvas(device.get());
  canvas.Line(1, 2, 3, 4);
  canvas.Flush(true);
  EXPECT_TRUE(rec->CallsOf(TZRNCallKind::SetLineWidth).empty());  // ordinary screens: as before

  canvas.LineWidth = 2.0f;
  canvas.Line(1, 2, 3, 4);
  canvas.Flush(true);
  canvas.Line(1, 2, 3, 4);
  canvas.Flush(true);
  auto widths = rec->CallsOf(TZRNCallKind::SetLineWidth);
  ASSERT_EQ(widths.size(), 1u);
  EXPECT_EQ(widths[0]->A, 2);
}
