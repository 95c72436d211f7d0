#include <cmath>
#include <cstring>

#include "engine/core/zrnMath.h"
#include "engine/particles/zrnParticles.h"

void TZRNParticleList::Delete(int32_t index) {
  if (index < 0 || index >= Count) return;
  std::memmove(List + index, List + index + 1, static_cast<size_t>(Count - index - 1) * sizeof(TZRNParticle));
  --Count;
}

TZRNParticleSystem::TZRNParticleSystem(TZRNParticleManager* manager) : Manager(manager) {
  ZRN_ASSERT(manager != nullptr, "Creating a particle system without a particle manager is not allowed.",
             "zrnParticles");
}

void TZRNParticleSystem::Initialize(TZRNParticleEffect* effect) {
  if (!effect) return;
  Effect = effect;
  Texture = Manager->FindTexture(effect->TextureName);
  Name = effect->Name;
  Renderer = ParticleRendererFor(effect->Mode);
  EmissionsLeft = effect->EmitCount;
  Particles.SetCount(0);
  Particles.SetCapacity(effect->Quota > 0 ? effect->Quota : 0);
}

void TZRNParticleSystem::Reset() {
  Position = ZeroVector;
  Direction = UnitX;
  Time = 0;
  Distance = 0;
  NextEmitTime = Effect ? Effect->EmitDelay : 0.0f;
}

void TZRNParticleSystem::MoveTo(const TVector3f& position) {
  const float dx = position.X - Position.X, dy = position.Y - Position.Y, dz = position.Z - Position.Z;
  Distance = Distance + std::sqrt(dx * dx + dy * dy + dz * dz);
  Position = position;
}

void TZRNParticleSystem::SetDirection(const TVector3f& direction) { Direction = VectorNormalize(direction); }

bool TZRNParticleSystem::Update(float frameTime) {
  if (!Effect) return true;  // never made from an effect: nothing to emit or draw
  Time = Time + frameTime;
  if (Transform) {
    MoveTo(MatrixTransform(*Transform, ZeroVector));
    SetDirection(MatrixRotate(*Transform, UnitZ));
  }
  PreviousPosition = Position;
  PreviousTime = Time;

  for (int32_t i = 0; i < Particles.Count;) {
    if (UpdateParticle(Particles[i], frameTime)) Particles.Delete(i);
    else ++i;
  }
  for (TZRNParticleAffector* affector : Effect->Affectors) affector->Apply(*this, Particles, frameTime);

  if (Effect->EmitCount != 0 && EmissionsLeft <= 0) return Particles.Count == 0;
  if (Time < NextEmitTime) return false;
  Emit();
  return false;
}

void TZRNParticleSystem::Emit() {
  --EmissionsLeft;
  NextEmitTime = NextEmitTime + Effect->EmitInterval;
  int32_t n = Particles.Capacity - Particles.Count;
  if (Effect->EmitAmount < n) n = Effect->EmitAmount;
  if (n <= 0) return;
  const int32_t first = Particles.Alloc(n);
  for (int32_t i = first; i < first + n; ++i) {
    SpawnParticle(Particles[i]);
    UpdateParticle(Particles[i], 0.0f);
  }
}

void TZRNParticleSystem::SpawnParticle(TZRNParticle& p) {
  const TZRNParticleEffect& e = *Effect;
  TZRNParticleRandom& random = Manager->Random;
  p.Age = 0;
  p.Rotation = 0;
  p.Life = random.RandomRange(e.Life);
  p.Size = random.RandomRange(e.Size);
  p.Color = random.RandomColor(e.Colors);
  p.Spin = random.RandomRange(e.Spin);
  p.Cell = e.CellEntry();
  p.LifeByDistance = e.LifeByDistance;
  const int32_t points = e.EmissionPoints->Count;
  if (points > 0) {
    int32_t k = random.RandomInt(points);
    if (k >= points) k = points - 1;  // a draw just below 1 can round up to the count
    p.Position = VectorAdd(Position, e.EmissionPoints->List[k]);
  } else {
    p.Position = Position;
  }
  const float angle = random.RandomRange(e.Direction);
  const float speed = random.RandomRange(e.Speed);
  switch (e.Mode) {
    case pmPlaneYZ: p.Velocity = VectorScale(MatrixRotate(MatrixRotateX(angle), Direction), speed); break;
    case pmPlaneXZ: p.Velocity = VectorScale(MatrixRotate(MatrixRotateY(angle), Direction), speed); break;
    case pmPlaneXY: p.Velocity = VectorScale(MatrixRotate(MatrixRotateZ(angle), Direction), speed); break;
    default: p.Velocity = ZeroVector; break;  // trails, points and billboards start at rest
  }
  p.StartPosition = p.Position;
  p.BaseColor = p.Color;
  p.BaseCell = p.Cell;
  p.BaseSize = p.Size;
  p.PreviousPosition = p.Position;
}

bool TZRNParticleSystem::UpdateParticle(TZRNParticle& p, float dt) const {
  p.Age = p.Age + dt;
  if (!p.LifeByDistance) {
    if (p.Life != 0 && p.Age > p.Life) return true;
  } else if (std::fabs((p.StartPosition.X + p.StartPosition.Y) - (p.Position.X + p.Position.Y)) > p.Life) {
    return true;
  }
  p.PreviousPosition = p.Position;
  if (Effect->FollowSystem) {
    p.Position = Position;
  } else {
    p.Position.X = p.Position.X + p.Velocity.X * dt;
    p.Position.Y = p.Position.Y + p.Velocity.Y * dt;
    p.Position.Z = p.Position.Z + p.Velocity.Z * dt;
  }
  p.Rotation = p.Rotation + p.Spin * dt;

  int32_t k = 0;
  if (p.Life != 0) {
    const float q = 32.0f * p.Age / p.Life;
    // Held to the table; a negative or NaN ratio (a negative life set directly) reads entry 0.
    k = q >= 31.0f ? 31 : (q > 0.0f ? static_cast<int32_t>(q) : 0);
  }
  const TZRNParticleGraphs& g = *Effect->Graphs;
  p.Size = p.BaseSize * g.SizeTable[static_cast<size_t>(k)];
  p.Color.Red = p.BaseColor.Red + g.RedTable[static_cast<size_t>(k)];
  p.Color.Green = p.BaseColor.Green + g.GreenTable[static_cast<size_t>(k)];
  p.Color.Blue = p.BaseColor.Blue + g.BlueTable[static_cast<size_t>(k)];
  p.Color.Alpha = p.BaseColor.Alpha + g.AlphaTable[static_cast<size_t>(k)];
  return false;
}
