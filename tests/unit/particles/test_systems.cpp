#include <gtest/gtest.h>

#include "engine/core/zrnMath.h"
#include "engine/particles/zrnParticles.h"
#include "particle_test_support.h"

TEST(ParticleRandom, DrawsInTableOrderAndWraps) {
  TZRNParticleRandom r;
  r.SeedRandomTable(7);
  EXPECT_EQ(r.RandomIndex, 0);
  const float first = r.RandomTable[0];
  EXPECT_EQ(r.RandomNext(), first);
  EXPECT_EQ(r.RandomRange(2, 4), 2 + 2 * r.RandomTable[1]);
  EXPECT_EQ(r.RandomInt(10), static_cast<int32_t>(10 * r.RandomTable[2]));
  const TColor4f c = r.RandomColor({{0, 0, 0, 0}, {1, 2, 3, 4}});
  EXPECT_EQ(c.Red, r.RandomTable[3]);
  EXPECT_EQ(c.Alpha, 4 * r.RandomTable[6]);
  r.RandomIndex = 65535;
  EXPECT_EQ(r.RandomNext(), r.RandomTable[65535]);
  EXPECT_EQ(r.RandomIndex, 0);
  EXPECT_EQ(r.RandomNext(), first);
  ASSERT_EQ(r.RandomTable.size(), size_t{RandomTableSize});
  for (float value : r.RandomTable) ASSERT_TRUE(value >= 0.0f && value < 1.0f);
  TZRNParticleRandom other;
  other.SeedRandomTable(7);
  EXPECT_EQ(other.RandomTable, r.RandomTable) << "the same seed gives the same table";
  EXPECT_EQ(other.RandomIndex, 0) << "a second table keeps its own cursor";
}

TEST(ParticleSystem, SpawnDrawsEveryValueInOrder) {
  TParticleScene scene;
  scene.AddImage("dots");
  TZRNParticleEffect* e = scene.AddEffect("dots", pmPlaneXY);
  e->Life = {1, 3};
  e->Size = {4, 8};
  e->Colors = {{0, 0, 0, 0}, {1, 1, 1, 1}};
  e->Spin = {-90, 90};
  e->Direction = {0, 360};
  e->Speed = {-8, 8};
  e->EmissionPoints->Add(5, 6);
  e->EmissionPoints->Add(-5, -6);
  e->SetCellLayout(2);
  e->SetCell(6);

  TZRNParticleRandom& random = scene.Manager->Random;
  random.SeedRandomTable(1234);
  const std::vector<float>& t = random.RandomTable;
  TZRNParticleSystem* s = scene.Manager->SpawnAt(e, Vector3f(100, 200, 0));
  ASSERT_NE(s, nullptr);
  s->Update(0);
  ASSERT_EQ(s->Particles.Count, 1);
  const TZRNParticle& p = s->Particles[0];
  EXPECT_EQ(p.Life, 1 + 2 * t[0]);
  EXPECT_EQ(p.BaseSize, 4 + 4 * t[1]);
  EXPECT_EQ(p.BaseColor.Red, t[2]);
  EXPECT_EQ(p.BaseColor.Alpha, t[5]);
  EXPECT_EQ(p.Spin, -90 + 180 * t[6]);
  const TVector3f& point = e->EmissionPoints->List[static_cast<int32_t>(2 * t[7])];
  EXPECT_EQ(p.StartPosition, Vector3f(100 + point.X, 200 + point.Y, 0));
  const float angle = 360 * t[8];
  const float speed = -8 + 16 * t[9];
  const TMatrix4f m = MatrixRotateZ(angle);
  EXPECT_EQ(p.Velocity.X, m[0] * speed);
  EXPECT_EQ(p.Velocity.Y, m[1] * speed);
  EXPECT_EQ(p.Velocity.Z, 0.0f);
  EXPECT_EQ(p.Cell, 5 + 6);
  EXPECT_EQ(p.BaseCell, p.Cell);
  EXPECT_EQ(random.RandomIndex, 10);
  // Spawned then updated with time 0: age 0 reads table entry 0.
  EXPECT_EQ(p.Age, 0.0f);
  EXPECT_EQ(p.Size, p.BaseSize * e->Graphs->SizeTable[0]);
}

TEST(ParticleSystem, PointsAndTrailsStartAtRest) {
  for (TZRNParticleMode mode : {pmPoints, pmBillboard, pmTrail}) {
    TParticleScene scene;
    TZRNParticleEffect* e = scene.AddEffect("none", mode);
    e->Direction = {10, 80};
    TZRNParticleSystem* s = scene.Manager->Spawn(e);
    s->Particles.SetCapacity(1);  // stale memory in the slot must not leak into the velocity
    s->Particles.List[0].Velocity = Vector3f(9, 9, 9);
    s->Update(0);
    ASSERT_EQ(s->Particles.Count, 1);
    EXPECT_EQ(s->Particles[0].Velocity, ZeroVector) << "mode " << int(mode);
  }
}

TEST(ParticleSystem, AgeEqualToLifeIsAliveAndUsesTheLastEntry) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXY);
  e->Graphs->Size.Keys.Add(0, 0);
  e->Graphs->Size.Keys.Add(1, 1);
  e->Graphs->Red.Keys.Add(0, 0);
  e->Graphs->Red.Keys.Add(1, 1);
  e->Prepare();
  scene.Manager->Random.SeedRandomTable(3);
  TZRNParticleSystem* s = scene.Manager->Spawn(e);

  EXPECT_FALSE(s->Update(0.25f));  // emits at time 0.25 (delay 0)
  ASSERT_EQ(s->Particles.Count, 1);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(s->Update(0.25f));
  ASSERT_EQ(s->Particles.Count, 1);
  const TZRNParticle& p = s->Particles[0];
  EXPECT_EQ(p.Age, 1.0f);
  EXPECT_EQ(p.Age, p.Life);
  EXPECT_EQ(p.Size, 2 * e->Graphs->SizeTable[31]);
  EXPECT_NE(e->Graphs->SizeTable[31], e->Graphs->SizeTable[30]);
  EXPECT_EQ(p.Color.Red, p.BaseColor.Red + e->Graphs->RedTable[31]);
  // Moved 10 units per second along the start direction for one second.
  EXPECT_NEAR(std::hypot(p.Position.X, p.Position.Y), 10.0, 1e-4);

  EXPECT_TRUE(s->Update(0.25f)) << "dies past its life and the system is done";
  EXPECT_EQ(s->Particles.Count, 0);
}

TEST(ParticleSystem, EmissionScheduleAndQuota) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXZ);
  e->EmitDelay = 0.5f;
  e->EmitInterval = 0.25f;
  e->EmitAmount = 3;
  e->EmitCount = 0;  // unlimited
  e->Quota = 5;
  e->SetLifeMax(100);
  e->SetLifeMin(100);
  TZRNParticleSystem* s = scene.Manager->Spawn(e);
  EXPECT_EQ(s->NextEmitTime, 0.5f);

  EXPECT_FALSE(s->Update(0.25f));
  EXPECT_EQ(s->Particles.Count, 0);
  EXPECT_FALSE(s->Update(0.25f));  // time 0.5: first emission
  EXPECT_EQ(s->Particles.Count, 3);
  EXPECT_EQ(s->NextEmitTime, 0.75f);
  EXPECT_FALSE(s->Update(5.0f));  // far past: still one emission, capped by the quota
  EXPECT_EQ(s->Particles.Count, 5);
  EXPECT_EQ(s->NextEmitTime, 1.0f);
  EXPECT_EQ(s->EmissionsLeft, -2);
  EXPECT_FALSE(s->Update(0));  // dt 0 can still emit (no room left, though)
  EXPECT_EQ(s->NextEmitTime, 1.25f);
  EXPECT_EQ(s->Particles.Count, 5);

  TZRNParticleEffect* none = scene.AddEffect("", pmPlaneXY);
  none->Quota = 0;
  TZRNParticleSystem* empty = scene.Manager->Spawn(none);
  EXPECT_FALSE(empty->Update(0.1f));
  EXPECT_EQ(empty->Particles.Count, 0);
  EXPECT_TRUE(empty->Update(0.1f)) << "its only emission is used up";
}

TEST(ParticleSystem, DistanceLifeAndFollowing) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXY);
  e->LifeByDistance = true;
  e->SetLifeMin(5);
  e->SetLifeMax(5);
  e->Direction = {0, 0};
  TZRNParticleSystem* s = scene.Manager->Spawn(e);
  s->Update(0);
  ASSERT_EQ(s->Particles.Count, 1);
  EXPECT_FALSE(s->Update(0.5f));  // moved 5 units along X: |dx| = 5 is not more than 5
  EXPECT_EQ(s->Particles.Count, 1);
  EXPECT_FALSE(s->Update(0.1f));  // the test looks at the position before this move
  EXPECT_TRUE(s->Update(0.1f));

  TZRNParticleEffect* follow = scene.AddEffect("", pmPlaneXY);
  follow->FollowSystem = true;
  TZRNParticleSystem* f = scene.Manager->Spawn(follow);
  f->Update(0);
  f->MoveTo(Vector3f(3, 4, 0));
  EXPECT_EQ(f->Distance, 5.0f);
  f->Update(0.1f);
  EXPECT_EQ(f->Particles[0].Position, Vector3f(3, 4, 0));
  EXPECT_EQ(f->Particles[0].PreviousPosition, ZeroVector);

  TMatrix4f transform = MatrixTranslate(6, 8, 0);
  f->Transform = &transform;
  f->Update(0.1f);
  EXPECT_EQ(f->Position, Vector3f(6, 8, 0));
  EXPECT_EQ(f->Direction, UnitZ);
  EXPECT_FLOAT_EQ(f->Distance, 5 + std::sqrt(9.0f + 16.0f));
}

TEST(ParticleSystem, CreationNeedsAManager) {
  try {
    TZRNParticleSystem system(nullptr);
    FAIL();
  } catch (const EZRNAssertion& error) {
    EXPECT_EQ(std::string(error.what()).rfind(
                  "Creating a particle system without a particle manager is not allowed. (zrnParticles, line ", 0),
              0u);
  }
}

TEST(ParticlePool, SpawnTakesTheNextIdleSystem) {
  TParticleScene scene;
  scene.Manager->SetCapacity(3);
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXY);
  TZRNParticleSystemList& pool = *scene.Manager->Systems;
  TZRNParticleSystem* idle = scene.Manager->Spawn(nullptr);
  EXPECT_EQ(idle, pool[0]);
  EXPECT_EQ(pool.Count, 0) << "no effect: returned without activating";
  EXPECT_EQ(scene.Manager->Spawn(e), pool[0]);
  scene.Manager->Spawn(e);
  scene.Manager->Spawn(e);
  EXPECT_EQ(pool.Count, 3);
  EXPECT_EQ(scene.Manager->Spawn(e), nullptr);
  EXPECT_EQ(scene.Manager->SpawnAt(e, Vector3f(1, 1, 0)), nullptr);
  EXPECT_EQ(pool[0]->Name, "<effect>");

  pool.Clear();
  EXPECT_EQ(pool.Count, 0);
  EXPECT_EQ(scene.Manager->Render(), 0);
  EXPECT_TRUE(scene.Recorder->Calls.empty()) << "nothing active: no state change";
}

TEST(ParticlePool, FinishedSystemsMoveBehindTheActiveOnesInDeleteOrder) {
  TParticleScene scene;
  scene.Manager->SetCapacity(6);
  TZRNParticleEffect* shortLived = scene.AddEffect("", pmPlaneXY);
  shortLived->SetLifeMin(0.1f);
  shortLived->SetLifeMax(0.1f);
  TZRNParticleEffect* longLived = scene.AddEffect("", pmPlaneXY);
  longLived->SetLifeMin(10);
  longLived->SetLifeMax(10);
  TZRNParticleSystemList& pool = *scene.Manager->Systems;
  TZRNParticleSystem* a = scene.Manager->Spawn(longLived);
  TZRNParticleSystem* b = scene.Manager->Spawn(shortLived);
  TZRNParticleSystem* c = scene.Manager->Spawn(shortLived);
  TZRNParticleSystem* d = scene.Manager->Spawn(longLived);
  TZRNParticleSystem* idle4 = pool[4];
  TZRNParticleSystem* idle5 = pool[5];

  scene.Manager->Update(0.05f);  // all emit
  scene.Manager->Update(0.05f);
  EXPECT_EQ(pool.Count, 4);
  scene.Manager->Update(0.5f);  // b and c lose their particle and report finished
  ASSERT_EQ(pool.Count, 2);
  // Delete(1) then Delete(1) again: [a, c, d, b] then [a, d, c, b].
  EXPECT_EQ(pool[0], a);
  EXPECT_EQ(pool[1], d);
  EXPECT_EQ(pool[2], c);
  EXPECT_EQ(pool[3], b);
  EXPECT_EQ(pool[4], idle4);
  EXPECT_EQ(pool[5], idle5);
  EXPECT_EQ(scene.Manager->Spawn(shortLived), c) << "the last one removed is reused first";

  pool.Delete(0);
  EXPECT_EQ(pool.Count, 2);
  EXPECT_EQ(pool[0], d);
  EXPECT_EQ(pool[1], c);
  EXPECT_EQ(pool[2], a);
  pool.Delete(2);  // not active: ignored
  EXPECT_EQ(pool[2], a);
  EXPECT_EQ(pool.Count, 2);
}

TEST(ParticlePool, ResizingKeepsEverySystemAndDropsActiveOnesBeyondTheEnd) {
  TParticleScene scene;
  TZRNParticleSystemList& pool = *scene.Manager->Systems;
  EXPECT_EQ(scene.Manager->Capacity, 255);
  EXPECT_EQ(pool.Capacity, 255);
  TZRNParticleEffect* e = scene.AddEffect("", pmPlaneXY);
  for (int i = 0; i < 10; ++i) scene.Manager->Spawn(e);
  TZRNParticleSystem* ninth = pool[9];
  scene.Manager->SetCapacity(5);
  EXPECT_EQ(pool.Count, 5);
  EXPECT_EQ(scene.Manager->Spawn(e), nullptr);
  scene.Manager->SetCapacity(1000);
  EXPECT_EQ(pool.Count, 5);
  for (int32_t i = 0; i < 1000; ++i) {
    ASSERT_NE(pool[i], nullptr);
    EXPECT_EQ(pool[i]->Manager, scene.Manager.get());
  }
  bool reused = false;
  for (int32_t i = 5; i < 1000; ++i) reused = reused || pool[i] == ninth;
  EXPECT_TRUE(reused) << "systems dropped by shrinking come back when the pool grows";
}

TEST(ParticlePool, ActiveSystemsStayGroupedByTextureInArrivalOrder) {
  TParticleScene scene;
  TZRNTexture* low = scene.AddImage("low");
  TZRNTexture* high = scene.AddImage("high");
  ASSERT_LT(low->ID, high->ID);
  TZRNParticleEffect* lowEffect = scene.AddEffect("low", pmPlaneXY);
  TZRNParticleEffect* highEffect = scene.AddEffect("high", pmPlaneXY);
  TZRNParticleEffect* bare = scene.AddEffect("missing", pmPlaneXY);
  testing::internal::CaptureStdout();
  TZRNParticleSystem* h1 = scene.Manager->Spawn(highEffect);
  TZRNParticleSystem* l1 = scene.Manager->Spawn(lowEffect);
  TZRNParticleSystem* l2 = scene.Manager->Spawn(lowEffect);
  TZRNParticleSystem* h2 = scene.Manager->Spawn(highEffect);
  TZRNParticleSystem* n1 = scene.Manager->Spawn(bare);
  TZRNParticleSystem* l3 = scene.Manager->Spawn(lowEffect);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not find texture: missing\n");
  const TZRNParticleSystemList& pool = *scene.Manager->Systems;
  // A system without texture equals any other, so l3 stops behind it.
  const TZRNParticleSystem* expected[] = {l1, l2, h1, h2, n1, l3};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(pool[i], expected[i]) << "position " << i;
  EXPECT_EQ(n1->Texture, nullptr);
  EXPECT_EQ(l1->Texture, low);
}

TEST(ParticlePool, TextureLookupIgnoresCaseAndReportsMissingLists) {
  TParticleScene scene;
  TZRNTexture* dots = scene.AddImage("Particles");
  TZRNParticleEffect* e = scene.AddEffect("PARTICLES", pmPlaneXY);
  testing::internal::CaptureStdout();
  EXPECT_EQ(scene.Manager->Spawn(e)->Texture, dots);
  scene.Manager->Images = nullptr;
  TZRNParticleSystem* s = scene.Manager->Spawn(e);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "No manager or texture list PARTICLES\n");
  EXPECT_EQ(s->Texture, nullptr);
  EXPECT_EQ(scene.Manager->Systems->Count, 2) << "activated even without texture";
}
