#include <gtest/gtest.h>

#include "engine/device/zrnRecordingRenderer.h"

TEST(Device, InitializeRejectsNonPositiveSizesBeforeOpening) {
  TZRNRecordingRenderer* rec = nullptr;
  TZRNDevice device([&rec](TZRNDevice& d) {
    auto r = std::make_unique<TZRNRecordingRenderer>(&d);
    rec = r.get();
    return r;
  });
  try {
    device.Initialize("x", 0, 10, false);
    FAIL();
  } catch (const EZRNAssertion& e) {
    EXPECT_TRUE(std::string(e.what()).starts_with("Width must be larger then 0 (zrnDevice, line"));
  }
  EXPECT_THROW(device.Initialize("x", 10, -1, false), EZRNAssertion);
  EXPECT_TRUE(rec->CallsOf(TZRNCallKind::Open).empty());
}

TEST(Device, InitializeOpensThenSetsViewportAndProjection) {
  TZRNRecordingRenderer* rec = nullptr;
  TZRNDevice device([&rec](TZRNDevice& d) {
    auto r = std::make_unique<TZRNRecordingRenderer>(&d);
    rec = r.get();
    return r;
  });
  device.Display->Depth = 16;
  device.Initialize("Sonavarium", 1024, 768, true);
  ASSERT_GE(rec->Calls.size(), 3u);
  EXPECT_EQ(rec->Calls[0].Kind, TZRNCallKind::Open);
  EXPECT_EQ(rec->Calls[0].Text, "Sonavarium");
  EXPECT_EQ(rec->Calls[0].C, 1);
  EXPECT_EQ(rec->Calls[1].Kind, TZRNCallKind::SetViewport);
  EXPECT_EQ(rec->Calls[1].C, 1024);
  EXPECT_EQ(rec->Calls[2].Kind, TZRNCallKind::SetProjectionMatrix);
  EXPECT_FLOAT_EQ(rec->Calls[2].Matrix[0], 2.0f / 1024.0f);
  EXPECT_EQ(device.Display->Depth, 24);
  EXPECT_EQ(device.Width(), 1024);
}

TEST(Device, RenderStateCacheSkipsRedundantChanges) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  EXPECT_EQ(device->SetRenderState(rsBlend, rvBlendAlpha), rvBlendNone);
  EXPECT_EQ(device->SetRenderState(rsBlend, rvBlendAlpha), rvBlendAlpha);
  ASSERT_EQ(rec->CallsOf(TZRNCallKind::SetBlendMode).size(), 1u);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetBlendMode)[0]->A, rvBlendNone);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetBlendMode)[0]->B, rvBlendAlpha);
  // The cache starts with depth test on, so this never reaches the renderer.
  device->SetRenderState(rsDepthTest, rvDepthTestOn);
  EXPECT_TRUE(rec->CallsOf(TZRNCallKind::SetDepthTest).empty());
  // A value of another group is recorded by the cache and handed on unchanged.
  device->SetRenderState(rsDepthMask, rvDepthTestOff);
  EXPECT_EQ(device->RenderStates[rsDepthMask], rvDepthTestOff);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetDepthMask).size(), 1u);
}

TEST(Device, TextureCacheIsPerStage) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec);
  auto texture = device->CreateTexture();
  EXPECT_EQ(device->SetTexture(texture.get(), 0), nullptr);
  EXPECT_EQ(device->SetTexture(texture.get(), 0), texture.get());
  device->SetTexture(texture.get(), 1);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetTexture).size(), 2u);
  device->SetTexture(nullptr, 0);
  EXPECT_EQ(rec->CallsOf(TZRNCallKind::SetTexture).size(), 3u);
}

TEST(Device, DrawsAWholeListInOneCall) {
  TZRNRecordingRenderer* rec = nullptr;
  auto device = TZRNRecordingRenderer::MakeDevice(&rec, 640, 480);
  TZRNVertexList list;
  list.Alloc(6);
  for (int i = 0; i < 6; ++i) list[i] = TVertex{{0, 0}, clrWhite, UnitZ, {float(i), 0, 0}};
  device->DrawPrimitives(ptLines, list);
  ASSERT_EQ(rec->DrawCalls, 1);
  EXPECT_EQ(rec->Calls.back().Count, 6);
  EXPECT_EQ(rec->Calls.back().Vertices[5].Position.X, 5.0f);
  EXPECT_EQ(device->Width(), 640);
  EXPECT_EQ(device->Height(), 480);
}
