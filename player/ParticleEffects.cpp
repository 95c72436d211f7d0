#include "player/ParticleEffects.h"

#include <string>

#include "engine/assets/zrnGraph.h"
#include "engine/core/zrnMath.h"
#include "engine/particles/zrnParticles.h"

namespace {

enum TTint { tintRed, tintGreen, tintBlue };

struct TEffectShape {
  int32_t Quota;
  uint16_t Cell;
  float LifeMin, LifeMax;
  int32_t SizeMin, SizeMax;  // in 800-pixel-wide units
  float SpeedMin, SpeedMax;
  float SpinMin, SpinMax;
};

constexpr TEffectShape Kaos{16, 11, 1.6f, 2.2f, 24, 32, -8, 8, -150, 150};
constexpr TEffectShape Osc{8, 6, 0.8f, 1.2f, 8, 12, -12, 12, -150, 150};
constexpr TEffectShape Spir{16, 9, 1.6f, 2.2f, 12, 16, -8, 8, -150, 150};
// The star sparks fly inward: both speed bounds are negative, the minimum the smaller magnitude.
constexpr TEffectShape Strz{8, 6, 0.9f, 1.2f, 2, 4, -64, -72, -45, 45};

void AddEffect(TZRNParticleManager& manager, float scaleX, const std::string& name, const TEffectShape& shape,
               float directionMin, float directionMax, TTint tint, float tintTime, float tintValue) {
  TZRNParticleEffect* effect = manager.Effects->Add();
  effect->Name = name;
  effect->Quota = shape.Quota;
  effect->SetTextureName("Particles");
  effect->SetCellLayout(2);
  effect->SetCell(shape.Cell);
  effect->Blending = pbAdditive;
  effect->SetMode(pmPlaneXY);
  effect->LifeByDistance = false;
  effect->EmitDelay = 0;
  effect->EmitInterval = 0;
  effect->EmitAmount = 1;
  effect->EmitCount = 1;
  effect->EmissionPoints->Add(0, 0);
  effect->Direction = {directionMin, directionMax};
  effect->SetLifeMin(shape.LifeMin);
  effect->SetLifeMax(shape.LifeMax);
  effect->Size = {static_cast<float>(Round(static_cast<long double>(scaleX) * shape.SizeMin)),
                  static_cast<float>(Round(static_cast<long double>(scaleX) * shape.SizeMax))};
  effect->Speed = {shape.SpeedMin, shape.SpeedMax};
  effect->Colors = {{0, 0, 0, 0}, {0, 0, 0, 0}};
  effect->FollowSystem = false;
  effect->Spin = {shape.SpinMin, shape.SpinMax};

  TZRNParticleGraphs& graphs = *effect->Graphs;
  graphs.Red.Keys.Add(0, 0);
  graphs.Green.Keys.Add(0, 0);
  graphs.Blue.Keys.Add(0, 0);
  TZRNGraph* tinted = tint == tintRed ? &graphs.Red : tint == tintGreen ? &graphs.Green : &graphs.Blue;
  tinted->Keys.Add(tintTime, tintValue);
  graphs.Alpha.Keys.Add(0, 0.3f);
  graphs.Alpha.Keys.Add(0.5f, 0.9f);
  graphs.Alpha.Keys.Add(1.0f, 0);
  graphs.Size.Keys.Add(0, 0.1f);
  graphs.Size.Keys.Add(0.9f, 3.2f);
}

}  // namespace

void CreateParticleEffects(TZRNParticleManager& manager, float scaleX) {
  constexpr TTint tints[3] = {tintRed, tintGreen, tintBlue};
  struct TGroup {
    const char* Name;
    const TEffectShape* Shape;
  };
  constexpr TGroup groups[3] = {{"kaos", &Kaos}, {"osc", &Osc}, {"spir", &Spir}};
  for (const TGroup& group : groups)
    for (int n = 1; n <= 3; ++n)
      AddEffect(manager, scaleX, group.Name + std::to_string(n), *group.Shape, 0, 360, tints[n - 1], 0.1f, 1.0f);
  // Three colour sets of four sparks, one per quarter of the circle.
  for (int set = 0; set < 3; ++set)
    for (int n = 1; n <= 4; ++n)
      AddEffect(manager, scaleX, "strz" + std::to_string(n), Strz, (n - 1) * 90.0f, n * 90.0f, tints[set], 0.4f, 0.9f);
  manager.Prepare();
}
