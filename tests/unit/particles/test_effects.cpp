#include <gtest/gtest.h>

#include "engine/particles/zrnParticles.h"
#include "particle_test_support.h"

TEST(ParticleEffect, StartsEmptyWithUnitCurves) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.Manager->Effects->Add();
  EXPECT_EQ(e->Manager, scene.Manager.get());
  EXPECT_EQ(e->Name, "<effect>");
  EXPECT_EQ(e->Quota, 0);
  EXPECT_EQ(e->EmissionPoints->Count, 0);
  EXPECT_EQ(e->Life.Max, 0.0f);
  EXPECT_EQ(e->Graphs->Cell.Max, 16.0f);
  EXPECT_EQ(e->Graphs->Size.Max, 1.0f);
  e->Prepare();
  for (int32_t k = 0; k < EffectGraphSamples; ++k) {
    EXPECT_EQ(e->Graphs->RedTable[k], 1.0f);
    EXPECT_EQ(e->Graphs->CellTable[k], 1.0f);
  }
  EXPECT_EQ(e->Graphs->Cell.Interpolation, giStep);
}

TEST(ParticleEffect, PlayerCurvesSampleIntoTheirTables) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.Manager->Effects->Add();
  e->Graphs->Alpha.Keys.Add(0, 0.3f);
  e->Graphs->Alpha.Keys.Add(0.5f, 0.9f);
  e->Graphs->Alpha.Keys.Add(1.0f, 0);
  e->Graphs->Size.Keys.Add(0, 0.1f);
  e->Graphs->Size.Keys.Add(0.9f, 3.2f);
  scene.Manager->Prepare();
  const auto& g = *e->Graphs;
  EXPECT_FLOAT_EQ(g.SizeTable[0], 0.1f);
  EXPECT_EQ(g.SizeTable[31], 1.0f);  // the upper limit holds the factor at 1
  EXPECT_LT(g.SizeTable[7], 1.0f);
  EXPECT_EQ(g.SizeTable[9], 1.0f);
  EXPECT_FLOAT_EQ(g.AlphaTable[0], 0.3f);
  EXPECT_FLOAT_EQ(g.AlphaTable[16], 0.9f);
}

TEST(ParticleEffect, CellLayoutsAndTheClampingSetters) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.Manager->Effects->Add();
  e->SetCellLayout(2);
  e->SetCell(11);
  EXPECT_EQ(e->Cell, 11);
  EXPECT_EQ(e->CellEntry(), 16);
  const TZRNCellRect& r = CellRects[16];
  EXPECT_EQ(r.U1, 0.75f);
  EXPECT_EQ(r.U2, 1.0f);
  EXPECT_EQ(r.V1, 0.5f);
  EXPECT_EQ(r.V2, 0.75f);

  e->SetCellLayout(0);
  EXPECT_EQ(e->Cell, 0);
  e->SetCell(3);
  EXPECT_EQ(e->Cell, 0);
  e->SetCellLayout(3);
  e->SetCell(63);
  EXPECT_EQ(e->Cell, 63);
  EXPECT_EQ(e->CellEntry(), 84);
  e->SetCell(64);
  EXPECT_EQ(e->Cell, 63);
  e->SetCellLayout(2);
  EXPECT_EQ(e->Cell, 15);
  e->SetCell(2);
  e->SetCellLayout(3);
  EXPECT_EQ(e->Cell, 2) << "a cell that fits the new layout stays";

  // Layout 1 is the top row of a 4 x 4 grid.
  EXPECT_EQ(CellRects[1 + 3].U1, 0.75f);
  EXPECT_EQ(CellRects[1 + 3].V2, 0.25f);
  EXPECT_EQ(CellRects[21 + 9].U1, 0.125f);
  EXPECT_EQ(CellRects[21 + 9].V1, 0.125f);
  EXPECT_EQ(CellRects[0].U2, 1.0f);

  // A cell written straight into the field still lands inside the table.
  e->SetCellLayout(0);
  e->Cell = 500;
  EXPECT_EQ(e->CellEntry(), 0);
  e->SetCellLayout(9);
  EXPECT_EQ(e->CellLayout, 3);
}

TEST(ParticleEffect, LifeBoundsAndListIndex) {
  TParticleScene scene;
  TZRNParticleEffect* e = scene.Manager->Effects->Add();
  e->SetLifeMin(-1);
  e->SetLifeMax(-0.5f);
  EXPECT_EQ(e->Life.Min, 0.0f);
  EXPECT_EQ(e->Life.Max, 0.0f);
  e->SetLifeMax(2);
  EXPECT_EQ(e->Life.Max, 2.0f);

  EXPECT_EQ(scene.Manager->Effects->Items(0), e);
  try {
    scene.Manager->Effects->Items(1);
    FAIL() << "index past the end must fail";
  } catch (const EZRNAssertion& error) {
    EXPECT_NE(std::string(error.what()).find("List index out of bounds (zrnParticles, line "), std::string::npos);
  }
  EXPECT_THROW(scene.Manager->Effects->Items(-1), EZRNAssertion);
  scene.Manager->Effects->Clear();
  EXPECT_EQ(scene.Manager->Effects->Count(), 0);
}
