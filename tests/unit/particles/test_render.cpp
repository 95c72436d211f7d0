#include <gtest/gtest.h>

#include <vector>

#include "engine/core/zrnMath.h"
#include "engine/particles/zrnParticles.h"
#include "particle_test_support.h"

namespace {
TZRNParticle MakeParticle(TVector3f position, float size, float rotation, uint8_t cell, TColor4f color) {
  TZRNParticle p{};
  p.Position = position;
  p.Size = size;
  p.Rotation = rotation;
  p.Cell = cell;
  p.Color = color;
  return p;
}

void Append(TZRNParticleList& list, const TZRNParticle& p) {
  const int32_t index = list.Alloc(1);
  list[index] = p;
}

void ExpectVertex(const TVertex& v, float u, float t, float x, float y, float z, const TColor4f& color) {
  EXPECT_FLOAT_EQ(v.TexCoord.X, u);
  EXPECT_FLOAT_EQ(v.TexCoord.Y, t);
  EXPECT_NEAR(v.Position.X, x, 1e-4);
  EXPECT_NEAR(v.Position.Y, y, 1e-4);
  EXPECT_NEAR(v.Position.Z, z, 1e-4);
  EXPECT_EQ(v.Color, color);
}

const TColor4f Warm{1, 0.5f, 0.25f, 0.75f};
const TColor4f Cold{0, 0.25f, 1, 0.5f};
}  // namespace

TEST(ParticleGenerators, PlaneXYRotatesTheCornersAboutTheParticle) {
  TZRNParticleList particles;
  Append(particles, MakeParticle({100, 50, 3}, 4, 90, 16, Warm));
  Append(particles, MakeParticle({0, 0, 0}, 1, 0, 0, Cold));
  TZRNVertexList vertices;
  EXPECT_EQ(RenderParticlePlaneXY(particles, vertices), ptQuads);
  ASSERT_EQ(vertices.Count, 8);
  // Rotation 90: the first corner (-s, -s) lands at (P.X + s, P.Y - s).
  ExpectVertex(vertices[0], 0.75f, 0.5f, 104, 46, 3, Warm);
  ExpectVertex(vertices[1], 1.0f, 0.5f, 104, 54, 3, Warm);
  ExpectVertex(vertices[2], 1.0f, 0.75f, 96, 54, 3, Warm);
  ExpectVertex(vertices[3], 0.75f, 0.75f, 96, 46, 3, Warm);
  ExpectVertex(vertices[4], 0, 0, -1, -1, 0, Cold);
  ExpectVertex(vertices[6], 1, 1, 1, 1, 0, Cold);
  // The engine's rotation matrix applied to the corners, whatever the angle.
  for (float angle : {33.0f, -170.0f, 725.5f, 100000.0f}) {
    particles[0].Rotation = angle;
    vertices.Clear();
    RenderParticlePlaneXY(particles, vertices);
    const TMatrix4f m = MatrixRotateZ(angle);
    const float corners[4][2] = {{-4, -4}, {4, -4}, {4, 4}, {-4, 4}};
    for (int k = 0; k < 4; ++k) {
      const TVector3f turned = MatrixTransform(m, Vector3f(corners[k][0], corners[k][1], 0));
      EXPECT_FLOAT_EQ(vertices[k].Position.X, 100 + turned.X) << angle;
      EXPECT_FLOAT_EQ(vertices[k].Position.Y, 50 + turned.Y) << angle;
    }
  }
}

TEST(ParticleGenerators, PointsAndPlaneXZ) {
  TZRNParticleList particles;
  Append(particles, MakeParticle({10, 20, 30}, 2, 45, 5 + 6, Warm));
  TZRNVertexList vertices;
  EXPECT_EQ(RenderParticlePoints(particles, vertices), ptPoints);
  ASSERT_EQ(vertices.Count, 1);
  ExpectVertex(vertices[0], 0.5f, 0.25f, 10, 20, 30, Warm);

  vertices.Clear();
  EXPECT_EQ(RenderParticlePlaneXZ(particles, vertices), ptQuads);
  ASSERT_EQ(vertices.Count, 4);
  ExpectVertex(vertices[0], 0.5f, 0.25f, 8, 20, 28, Warm);
  ExpectVertex(vertices[1], 0.75f, 0.25f, 12, 20, 28, Warm);
  ExpectVertex(vertices[2], 0.75f, 0.5f, 12, 20, 32, Warm);
  ExpectVertex(vertices[3], 0.5f, 0.5f, 8, 20, 32, Warm);

  vertices.Clear();
  EXPECT_EQ(ParticleRendererFor(pmBillboard)(particles, vertices), ptQuads);
  EXPECT_EQ(ParticleRendererFor(pmPlaneYZ)(particles, vertices), ptQuads);
  EXPECT_EQ(vertices.Count, 0);
  EXPECT_EQ(ParticleRendererFor(6), nullptr);
}

TEST(ParticleGenerators, TrailJoinsNeighboursWithQuads) {
  TZRNParticleList particles;
  Append(particles, MakeParticle({0, 0, 0}, 2, 0, 0, Warm));
  TZRNVertexList vertices;
  RenderParticleTrail(particles, vertices);
  EXPECT_EQ(vertices.Count, 0) << "one particle: no ribbon";

  Append(particles, MakeParticle({10, 0, 0}, 4, 0, 5, Cold));
  EXPECT_EQ(RenderParticleTrail(particles, vertices), ptQuads);
  ASSERT_EQ(vertices.Count, 4);
  // Direction +X, eye straight behind on -Z: the edge runs along Y, half the size each way.
  ExpectVertex(vertices[0], 0, 0, 0, 1, 0, Warm);
  ExpectVertex(vertices[1], 0, 0.25f, 0, -1, 0, Warm);
  ExpectVertex(vertices[2], 0.25f, 0.25f, 10, -2, 0, Cold);
  ExpectVertex(vertices[3], 0.25f, 0, 10, 2, 0, Cold);

  Append(particles, MakeParticle({10, 10, 0}, 2, 0, 0, Warm));
  vertices.Clear();
  RenderParticleTrail(particles, vertices);
  ASSERT_EQ(vertices.Count, 8);
  EXPECT_EQ(vertices[4].Position, vertices[3].Position) << "each quad starts where the last ended";
  EXPECT_NEAR(vertices[6].Position.X, 11, 1e-5);  // heading +Y now: the edge runs along X
}

TEST(ParticleRendering, BillboardAndYZDrawNothingButStillSwitchState) {
  for (TZRNParticleMode mode : {pmBillboard, pmPlaneYZ}) {
    TParticleScene scene;
    TZRNTexture* texture = scene.AddImage("dots");
    TZRNParticleEffect* e = scene.AddEffect("dots", mode, pbAlpha);
    scene.Manager->Spawn(e);
    scene.Manager->Update(0.1f);
    ASSERT_EQ(scene.Manager->Systems->operator[](0)->Particles.Count, 1);
    scene.Recorder->Reset();
    EXPECT_EQ(scene.Manager->Render(), 0);
    const auto& calls = scene.Recorder->Calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].Kind, TZRNCallKind::SetBlendMode);
    EXPECT_EQ(calls[0].B, rvBlendAdditive);
    EXPECT_EQ(calls[1].Kind, TZRNCallKind::SetTexture);
    EXPECT_EQ(calls[1].Texture, texture);
    EXPECT_EQ(calls[2].Kind, TZRNCallKind::SetBlendMode);
    EXPECT_EQ(calls[2].B, rvBlendAlpha);
    EXPECT_EQ(calls[3].Kind, TZRNCallKind::DrawPrimitives);
    EXPECT_EQ(calls[3].Primitive, ptQuads);
    EXPECT_EQ(calls[3].Count, 0);
  }
}

TEST(ParticleRendering, ModeWithoutGeneratorFails) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXY);
  e->Mode = static_cast<TZRNParticleMode>(9);
  testing::internal::CaptureStdout();
  scene.Manager->Spawn(e);
  testing::internal::GetCapturedStdout();
  try {
    scene.Manager->Render();
    FAIL();
  } catch (const EZRNAssertion& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Renderer might not be zero (zrnParticles, line ", 0), 0u);
  }
}

TEST(ParticleRendering, ThePlayersSceneIsOneDrawCall) {
  TParticleScene scene;
  scene.AddImage("Particles");
  TZRNParticleEffect* effects[3];
  for (auto& e : effects) e = scene.AddEffect("Particles", pmPlaneXY);
  scene.Manager->SetCapacity(99000);
  for (int i = 0; i < 300; ++i) scene.Manager->SpawnAt(effects[i % 3], Vector3f(float(i), 0, 0));
  scene.Manager->Update(1 / 60.0f);
  scene.Recorder->Reset();
  EXPECT_EQ(scene.Manager->Render(), 1200);
  auto draws = scene.Recorder->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->Count, 1200);
  EXPECT_EQ(scene.Manager->Vertices->Count, 0);
  // A second frame needs no state change at all.
  scene.Recorder->Reset();
  scene.Manager->Render();
  ASSERT_EQ(scene.Recorder->Calls.size(), 1u);
  EXPECT_EQ(scene.Recorder->Calls[0].Kind, TZRNCallKind::DrawPrimitives);
}

namespace {
// One draw call per system, exactly the plain loop; the reference the batched drawing
// must match.
int32_t RenderOneCallPerSystem(TZRNParticleManager& manager, TZRNDevice& device) {
  TZRNParticleSystemList& pool = *manager.Systems;
  if (pool.Count == 0) return 0;
  TZRNVertexList vertices;
  TZRNTexture* t = pool[0]->Texture;
  device.SetRenderState(rsBlend, rvBlendAdditive);
  device.SetTexture(t, 0);
  int32_t generated = 0;
  for (int32_t i = 0; i < pool.Count; ++i) {
    TZRNParticleSystem* s = pool[i];
    const TZRNPrimitive primitive = s->Renderer(s->Particles, vertices);
    generated += vertices.Count;
    if (s->Texture != t) device.SetTexture(s->Texture, 0);
    switch (s->Effect->Blending) {
      case pbNone: device.SetRenderState(rsBlend, rvBlendNone); break;
      case pbAdditive: device.SetRenderState(rsBlend, rvBlendAdditive); break;
      case pbAlpha: device.SetRenderState(rsBlend, rvBlendAlpha); break;
      default: break;
    }
    device.DrawPrimitives(primitive, vertices);
    vertices.Clear();
    t = s->Texture;
  }
  return generated;
}

// Joins draw calls that follow each other with the same primitive and no call in between.
std::vector<TZRNRecordedCall> JoinDraws(const std::vector<TZRNRecordedCall>& calls) {
  std::vector<TZRNRecordedCall> joined;
  for (const TZRNRecordedCall& call : calls) {
    if (call.Kind == TZRNCallKind::DrawPrimitives && !joined.empty() &&
        joined.back().Kind == TZRNCallKind::DrawPrimitives && joined.back().Primitive == call.Primitive) {
      joined.back().Vertices.insert(joined.back().Vertices.end(), call.Vertices.begin(), call.Vertices.end());
      joined.back().Count += call.Count;
    } else {
      joined.push_back(call);
    }
  }
  return joined;
}

bool SameVertex(const TVertex& a, const TVertex& b) {
  return a.TexCoord.X == b.TexCoord.X && a.TexCoord.Y == b.TexCoord.Y && a.Color == b.Color &&
         a.Position == b.Position;
}
}  // namespace

TEST(ParticleRendering, BatchingGivesTheVerticesAndStatesOfOneCallPerSystem) {
  TParticleScene scene;
  scene.Manager->SetCapacity(500);
  scene.AddImage("a");
  scene.AddImage("b");
  std::vector<TZRNParticleEffect*> effects;
  const char* textures[] = {"a", "b", "none"};
  const TZRNParticleMode modes[] = {pmPlaneXY, pmPoints, pmTrail, pmPlaneXZ, pmBillboard, pmPlaneXY};
  const TZRNParticleBlending blends[] = {pbAdditive, pbAdditive, pbAlpha, pbNone, pbReserved};
  for (int i = 0; i < 30; ++i) {
    TZRNParticleEffect* e = scene.AddEffect(textures[i % 3], modes[i % 6], blends[i % 5]);
    e->Quota = 1 + i % 4;
    e->EmitAmount = 2;
    e->EmitInterval = 0.05f;
    e->EmitCount = 3;
    e->Direction = {0, 360};
    e->Spin = {-90, 90};
    e->SetLifeMin(0.2f + 0.01f * i);
    e->SetLifeMax(0.4f);
    effects.push_back(e);
  }
  scene.Manager->Random.SeedRandomTable(99);
  testing::internal::CaptureStdout();
  for (int frame = 0; frame < 20; ++frame) {
    for (int k = 0; k < 12; ++k) scene.Manager->SpawnAt(effects[(frame * 7 + k * 5) % 30], Vector3f(float(k), float(frame), 0));
    scene.Manager->Update(0.03f);
  }
  testing::internal::GetCapturedStdout();
  ASSERT_GT(scene.Manager->Systems->Count, 100);

  TZRNRecordingRenderer* referenceRecorder = nullptr;
  auto referenceDevice = TZRNRecordingRenderer::MakeDevice(&referenceRecorder);
  const int32_t expectedCount = RenderOneCallPerSystem(*scene.Manager, *referenceDevice);
  scene.Recorder->Reset();
  const int32_t count = scene.Manager->Render();
  EXPECT_EQ(count, expectedCount);
  EXPECT_GT(count, 0);

  const auto expected = JoinDraws(referenceRecorder->Calls);
  const auto& actual = scene.Recorder->Calls;
  ASSERT_EQ(actual.size(), expected.size());
  EXPECT_LT(scene.Recorder->CallsOf(TZRNCallKind::DrawPrimitives).size(),
            referenceRecorder->CallsOf(TZRNCallKind::DrawPrimitives).size());
  for (size_t i = 0; i < actual.size(); ++i) {
    ASSERT_EQ(actual[i].Kind, expected[i].Kind) << "call " << i;
    EXPECT_EQ(actual[i].A, expected[i].A) << "call " << i;
    EXPECT_EQ(actual[i].B, expected[i].B) << "call " << i;
    EXPECT_EQ(actual[i].Texture, expected[i].Texture) << "call " << i;
    if (actual[i].Kind != TZRNCallKind::DrawPrimitives) continue;
    EXPECT_EQ(actual[i].Primitive, expected[i].Primitive) << "call " << i;
    ASSERT_EQ(actual[i].Count, expected[i].Count) << "call " << i;
    for (int32_t v = 0; v < actual[i].Count; ++v)
      ASSERT_TRUE(SameVertex(actual[i].Vertices[v], expected[i].Vertices[v])) << "call " << i << " vertex " << v;
  }
}
