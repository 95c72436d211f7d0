#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/core/zrnMath.h"
#include "engine/particles/zrnParticles.h"

namespace {
inline void SetVertex(TVertex& v, float u, float t, const TColor4f& color, float x, float y, float z) {
  v.TexCoord = TVector2f{u, t};
  v.Color = color;
  v.Normal = UnitZ;  // not used by the drawing; set so that no vertex carries stale memory
  v.Position = TVector3f{x, y, z};
}

inline const TZRNCellRect& CellOf(const TZRNParticle& p) {
  return CellRects[p.Cell < CellEntryCount ? p.Cell : 0];
}

// Cosine and sine of an angle in degrees, as the Z rotation matrix holds them. The angle is
// first brought into one turn (exact in single precision), then the double-precision routines
// do the rest: a tenth of the cost of the extended-precision ones, and the same singles but
// for a last-bit rounding that hardly ever differs.
inline void RotationCosSin(float degrees, float& c, float& s) {
  const double radians = static_cast<double>(std::fmod(degrees, 360.0f)) * (3.14159265358979323846 / 180.0);
  c = static_cast<float>(std::cos(radians));
  s = static_cast<float>(std::sin(radians));
}

struct TSides {
  TVector3f First, Second;
};

// The ribbon's edge at a particle: across its direction of travel, seen from a far eye point.
TSides SidesOf(const TZRNParticle& p, const TVector3f& direction) {
  static constexpr TVector3f Eye{0.0f, 0.0f, -1000000.0f};
  const TVector3f d = VectorNormalize(direction);
  const TVector3f v = VectorNormalize(VectorSub(Eye, p.Position));
  const TVector3f e = VectorNormalize(VectorCross(d, v));
  const TVector3f offset = VectorScale(e, p.Size / 2.0f);
  return {VectorAdd(p.Position, offset), VectorSub(p.Position, offset)};
}
}  // namespace

TZRNPrimitive RenderParticlePoints(const TZRNParticleList& particles, TZRNVertexList& vertices) {
  const int32_t n = particles.Count;
  const int32_t first = vertices.Alloc(n);  // may move List
  TVertex* out = vertices.List + first;
  for (int32_t i = 0; i < n; ++i) {
    const TZRNParticle& p = particles[i];
    const TZRNCellRect& c = CellOf(p);
    SetVertex(out[i], c.U1, c.V1, p.Color, p.Position.X, p.Position.Y, p.Position.Z);
  }
  return ptPoints;
}

TZRNPrimitive RenderParticleNothing(const TZRNParticleList& /*particles*/, TZRNVertexList& /*vertices*/) {
  return ptQuads;
}

TZRNPrimitive RenderParticlePlaneXZ(const TZRNParticleList& particles, TZRNVertexList& vertices) {
  const int32_t n = particles.Count;
  const int32_t first = vertices.Alloc(4 * n);  // may move List
  TVertex* out = vertices.List + first;
  for (int32_t i = 0; i < n; ++i, out += 4) {
    const TZRNParticle& p = particles[i];
    const TZRNCellRect& c = CellOf(p);
    const float s = p.Size;
    const TVector3f& P = p.Position;
    SetVertex(out[0], c.U1, c.V1, p.Color, P.X - s, P.Y, P.Z - s);
    SetVertex(out[1], c.U2, c.V1, p.Color, P.X + s, P.Y, P.Z - s);
    SetVertex(out[2], c.U2, c.V2, p.Color, P.X + s, P.Y, P.Z + s);
    SetVertex(out[3], c.U1, c.V2, p.Color, P.X - s, P.Y, P.Z + s);
  }
  return ptQuads;
}

TZRNPrimitive RenderParticlePlaneXY(const TZRNParticleList& particles, TZRNVertexList& vertices) {
  const int32_t n = particles.Count;
  const int32_t first = vertices.Alloc(4 * n);  // may move List
  TVertex* out = vertices.List + first;
  for (int32_t i = 0; i < n; ++i, out += 4) {
    const TZRNParticle& p = particles[i];
    const TZRNCellRect& c = CellOf(p);
    float cs, sn;
    RotationCosSin(p.Rotation, cs, sn);
    const float s = p.Size;
    const TVector3f& P = p.Position;
    // The corners turned by the Z rotation: x' = x cos - y sin, y' = x sin + y cos.
    auto corner = [&](TVertex& v, float x, float y, float u, float t) {
      SetVertex(v, u, t, p.Color, P.X + (x * cs - y * sn), P.Y + (x * sn + y * cs), P.Z);
    };
    corner(out[0], -s, -s, c.U1, c.V1);
    corner(out[1], s, -s, c.U2, c.V1);
    corner(out[2], s, s, c.U2, c.V2);
    corner(out[3], -s, s, c.U1, c.V2);
  }
  return ptQuads;
}

TZRNPrimitive RenderParticleTrail(const TZRNParticleList& particles, TZRNVertexList& vertices) {
  const int32_t n = particles.Count;
  if (n < 2) return ptQuads;
  const int32_t first = vertices.Alloc(4 * (n - 1));  // may move List
  TVertex* out = vertices.List + first;
  TSides previous = SidesOf(particles[0], VectorSub(particles[1].Position, particles[0].Position));
  TColor4f previousColor = particles[0].Color;
  for (int32_t i = 1; i < n; ++i, out += 4) {
    const TZRNParticle& p = particles[i];
    const TZRNCellRect& c = CellOf(p);
    const TSides current = SidesOf(p, VectorSub(p.Position, particles[i - 1].Position));
    SetVertex(out[0], c.U1, c.V1, previousColor, previous.First.X, previous.First.Y, previous.First.Z);
    SetVertex(out[1], c.U1, c.V2, previousColor, previous.Second.X, previous.Second.Y, previous.Second.Z);
    SetVertex(out[2], c.U2, c.V2, p.Color, current.Second.X, current.Second.Y, current.Second.Z);
    SetVertex(out[3], c.U2, c.V1, p.Color, current.First.X, current.First.Y, current.First.Z);
    previous = current;
    previousColor = p.Color;
  }
  return ptQuads;
}

TZRNParticleRenderer ParticleRendererFor(uint8_t mode) {
  static constexpr TZRNParticleRenderer Generators[] = {
      RenderParticlePoints,   // pmPoints
      RenderParticleNothing,  // pmBillboard
      RenderParticleNothing,  // pmPlaneYZ
      RenderParticlePlaneXZ,  // pmPlaneXZ
      RenderParticlePlaneXY,  // pmPlaneXY
      RenderParticleTrail,    // pmTrail
  };
  return mode < std::size(Generators) ? Generators[mode] : nullptr;
}

// Consecutive systems that share texture, blend state and primitive go out in one draw call: the
// same vertices in the same order as one call per system, and the same state changes reach the
// renderer, because every change in between would have been skipped by the device's cache.
int32_t TZRNParticleManager::Render() {
  const int32_t active = Systems->Count;
  if (active == 0) return 0;
  TZRNParticleSystem* const* items = Systems->Items.data();

  TZRNTexture* bound = items[0]->Texture;
  Device->BeginGlowLayer();
  Device->SetRenderState(rsBlend, rvBlendAdditive);
  Device->SetTexture(bound, 0);

  int32_t generated = 0;
  bool pending = false;
  TZRNPrimitive pendingPrimitive = ptPoints;
  auto flush = [&] {
    if (!pending) return;
    Device->DrawPrimitives(pendingPrimitive, *Vertices);
    Vertices->Clear();
    pending = false;
  };

  for (int32_t i = 0; i < active; ++i) {
    TZRNParticleSystem* system = items[i];
    ZRN_ASSERT(system->Renderer != nullptr, "Renderer might not be zero", "zrnParticles");

    TZRNRenderValue blend = Device->RenderStates[rsBlend];
    switch (system->Effect->Blending) {
      case pbNone: blend = rvBlendNone; break;
      case pbAdditive: blend = rvBlendAdditive; break;
      case pbAlpha: blend = rvBlendAlpha; break;
      default: break;  // reserved: left as it is
    }
    const bool textureChanges = system->Texture != bound;
    const bool blendChanges = blend != Device->RenderStates[rsBlend];
    if (textureChanges || blendChanges) {
      flush();  // what was collected belongs to the previous state
      if (textureChanges) Device->SetTexture(system->Texture, 0);
      if (blendChanges) Device->SetRenderState(rsBlend, blend);
    }

    const int32_t before = Vertices->Count;
    const TZRNPrimitive primitive = system->Renderer(system->Particles, *Vertices);
    const int32_t added = Vertices->Count - before;
    generated += added;
    if (pending && primitive != pendingPrimitive) {
      // Rare: draw the earlier systems with their primitive and keep this system's vertices.
      Vertices->Count = before;
      Device->DrawPrimitives(pendingPrimitive, *Vertices);
      std::memmove(Vertices->List, Vertices->List + before, static_cast<size_t>(added) * sizeof(TVertex));
      Vertices->Count = added;
    }
    pending = true;
    pendingPrimitive = primitive;
    bound = system->Texture;
  }
  flush();
  Device->EndGlowLayer();
  return generated;
}
