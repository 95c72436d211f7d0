#pragma once
// Particle effects, the pool of particle systems, their manager and the vertex generators.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnGraph.h"
#include "engine/core/zrnClasses.h"
#include "engine/core/zrnTypes.h"
#include "engine/device/zrnDevice.h"

class TZRNTexture;
class TZRNImageList;
class TZRNParticleManager;
class TZRNParticleSystem;

struct TZRNRangef {
  float Min;
  float Max;
};

struct TZRNColorRange {
  TColor4f Min;
  TColor4f Max;
};

// ---- Random table: every random value of a manager's systems comes from its table ----

inline constexpr int32_t RandomTableSize = 65536;

class TZRNParticleRandom {
 public:
  // Seeded from the clock; tests seed it again to get repeatable draws.
  TZRNParticleRandom();

  // Refills the table from a generator with this seed and puts the cursor back to 0.
  void SeedRandomTable(uint32_t seed);

  float RandomNext() { return RandomTable[RandomIndex++]; }
  int32_t RandomInt(int32_t n) { return static_cast<int32_t>(static_cast<float>(n) * RandomNext()); }
  float RandomRange(float a, float b) { return a + (b - a) * RandomNext(); }
  float RandomRange(const TZRNRangef& r) { return RandomRange(r.Min, r.Max); }
  TColor4f RandomColor(const TZRNColorRange& r);

  std::vector<float> RandomTable;
  uint16_t RandomIndex = 0;  // wraps from 65535 to 0
};

// ---- Effects ----

enum TZRNParticleMode : uint8_t { pmPoints = 0, pmBillboard = 1, pmPlaneYZ = 2, pmPlaneXZ = 3, pmPlaneXY = 4, pmTrail = 5 };
enum TZRNParticleBlending : uint8_t { pbNone = 0, pbAdditive = 1, pbReserved = 2, pbAlpha = 3 };

// Texture rectangle of one cell.
struct TZRNCellRect {
  float U1, U2, V1, V2;
};

// All cells of all layouts in one table: layout 0 starts at entry 0, 1 at 1, 2 at 5, 3 at 21.
inline constexpr int32_t CellEntryCount = 85;
extern const std::array<TZRNCellRect, CellEntryCount> CellRects;
inline constexpr int32_t CellLayoutCount = 4;
int32_t CellCountOf(uint8_t layout);
int32_t FirstCellOf(uint8_t layout);

class TZRNEmisionPoints : public TZRNVectorList3f {
 public:
  void Add(float x, float y) {
    const int32_t index = Alloc(1);  // may move List
    List[index] = TVector3f{x, y, 0.0f};
  }
};

inline constexpr int32_t EffectGraphSamples = 32;

// The six curves over a particle's life and the tables they are sampled into.
class TZRNParticleGraphs {
 public:
  explicit TZRNParticleGraphs(int32_t samples);
  TZRNParticleGraphs(const TZRNParticleGraphs&) = delete;
  TZRNParticleGraphs& operator=(const TZRNParticleGraphs&) = delete;

  void Sample();

  const int32_t Samples;
  TZRNGraph Green, Red, Alpha, Blue, Size, Cell;
  std::vector<float> GreenTable, RedTable, AlphaTable, BlueTable, SizeTable, CellTable;
};

class TZRNParticleList;

// Applied to a system's particles on every update. The player defines none.
class TZRNParticleAffector {
 public:
  virtual ~TZRNParticleAffector() = default;
  virtual void Apply(TZRNParticleSystem& system, TZRNParticleList& particles, float frameTime) = 0;
};

class TZRNParticleEffect {
 public:
  explicit TZRNParticleEffect(TZRNParticleManager* manager);
  TZRNParticleEffect(const TZRNParticleEffect&) = delete;
  TZRNParticleEffect& operator=(const TZRNParticleEffect&) = delete;

  void SetLifeMin(float value) { Life.Min = value < 0 ? 0 : value; }
  void SetLifeMax(float value) { Life.Max = value < 0 ? 0 : value; }
  // A layout beyond the last one is taken as the last one; the cell is held inside the layout.
  void SetCellLayout(uint8_t layout);
  void SetCell(uint16_t cell);
  void SetMode(TZRNParticleMode mode) { Mode = mode; }
  // The texture is looked up only when a system is made from the effect.
  void SetTextureName(const std::string& name) { TextureName = name; }
  // Samples the curves into their tables; call after editing them, before systems use them.
  void Prepare();

  // Table entry of the effect's cell (first entry of the layout + cell), held inside the table.
  uint8_t CellEntry() const;

  TZRNParticleManager* Manager;
  std::string Name = "<effect>";
  int32_t Quota = 0;
  std::string TextureName;
  uint8_t CellLayout = 0;
  uint16_t Cell = 0;
  TZRNParticleBlending Blending = pbNone;
  TZRNParticleMode Mode = pmPoints;
  bool LifeByDistance = false;
  float EmitDelay = 0;
  float EmitInterval = 0;
  uint16_t EmitAmount = 0;
  uint16_t EmitCount = 0;  // 0: unlimited
  std::unique_ptr<TZRNEmisionPoints> EmissionPoints;
  TZRNRangef Direction{0, 0};
  TZRNRangef Life{0, 0};
  TZRNRangef Size{0, 0};
  TZRNRangef Speed{0, 0};
  TZRNColorRange Colors{{0, 0, 0, 0}, {0, 0, 0, 0}};
  std::unique_ptr<TZRNParticleGraphs> Graphs;
  std::vector<TZRNParticleAffector*> Affectors;  // not owned
  bool FollowSystem = false;
  TZRNRangef Spin{0, 0};
};

class TZRNParticleEffectList {
 public:
  explicit TZRNParticleEffectList(TZRNParticleManager* manager) : Manager(manager) {}
  TZRNParticleEffectList(const TZRNParticleEffectList&) = delete;
  TZRNParticleEffectList& operator=(const TZRNParticleEffectList&) = delete;

  TZRNParticleEffect* Add();
  int32_t Count() const { return static_cast<int32_t>(List.size()); }
  TZRNParticleEffect* Items(int32_t index) const;
  void Clear() { List.clear(); }

  TZRNParticleManager* Manager;

 private:
  std::vector<std::unique_ptr<TZRNParticleEffect>> List;
};

// ---- Particles and systems ----

struct TZRNParticle {
  float Age;
  float Life;  // 0: immortal by age
  float Size;
  uint8_t Cell;
  TColor4f Color;
  TVector3f Position;
  TVector3f Velocity;
  float Rotation;
  float Spin;
  bool LifeByDistance;
  TVector3f StartPosition;
  TColor4f BaseColor;
  uint8_t BaseCell;
  float BaseSize;
  TVector3f PreviousPosition;
};

class TZRNParticleList : public TZRNGrowableList<TZRNParticle> {
 public:
  // Keeps the order: later particles move down one place.
  void Delete(int32_t index);
};

// Appends the vertices of the particles in list order and reports the primitive to draw them with.
using TZRNParticleRenderer = TZRNPrimitive (*)(const TZRNParticleList& particles, TZRNVertexList& vertices);

TZRNPrimitive RenderParticlePoints(const TZRNParticleList& particles, TZRNVertexList& vertices);
TZRNPrimitive RenderParticleNothing(const TZRNParticleList& particles, TZRNVertexList& vertices);
TZRNPrimitive RenderParticlePlaneXZ(const TZRNParticleList& particles, TZRNVertexList& vertices);
TZRNPrimitive RenderParticlePlaneXY(const TZRNParticleList& particles, TZRNVertexList& vertices);
TZRNPrimitive RenderParticleTrail(const TZRNParticleList& particles, TZRNVertexList& vertices);
// The generator of a mode, or none for a value outside the modes.
TZRNParticleRenderer ParticleRendererFor(uint8_t mode);

class TZRNParticleSystem {
 public:
  explicit TZRNParticleSystem(TZRNParticleManager* manager);
  TZRNParticleSystem(const TZRNParticleSystem&) = delete;
  TZRNParticleSystem& operator=(const TZRNParticleSystem&) = delete;

  void Initialize(TZRNParticleEffect* effect);
  void Reset();
  void MoveTo(const TVector3f& position);
  void SetDirection(const TVector3f& direction);
  // Returns true once every emission is done and the last particle has died.
  bool Update(float frameTime);

  TZRNParticleEffect* Effect = nullptr;
  std::string Name;
  TZRNParticleManager* Manager;
  TZRNParticleList Particles;  // memory stays between uses of the pool entry
  TZRNParticleRenderer Renderer = nullptr;
  TZRNTexture* Texture = nullptr;
  TVector3f Position{0, 0, 0};
  TVector3f Direction{1, 0, 0};
  float Time = 0;
  float Distance = 0;
  int32_t EmissionsLeft = 0;
  float NextEmitTime = 0;
  const TMatrix4f* Transform = nullptr;  // when set, the system follows it
  TVector3f PreviousPosition{0, 0, 0};
  float PreviousTime = 0;

 private:
  void Emit();
  void SpawnParticle(TZRNParticle& particle);
  bool UpdateParticle(TZRNParticle& particle, float dt) const;
};

// The pool: entries 0..Count-1 are active, the rest idle. Every entry holds a system for the
// pool's whole life; the systems themselves live in a few large blocks.
class TZRNParticleSystemList {
 public:
  explicit TZRNParticleSystemList(TZRNParticleManager* manager);
  ~TZRNParticleSystemList();
  TZRNParticleSystemList(const TZRNParticleSystemList&) = delete;
  TZRNParticleSystemList& operator=(const TZRNParticleSystemList&) = delete;

  void SetCapacity(int32_t n);
  // The system at index moves behind the active ones; later active systems move down one place.
  void Delete(int32_t index);
  void Clear() { Count = 0; }
  // Activates the idle system at Count, placing it after the active systems with a lower or
  // equal texture number (a system without texture counts as equal to any other).
  void Activate();
  // Updates the active systems in order and moves the finished ones behind the active part,
  // leaving the same order as deleting each of them as it finishes.
  void UpdateActive(float frameTime);

  TZRNParticleSystem* operator[](int32_t index) const { return Items[static_cast<size_t>(index)]; }

  int32_t Capacity = 0;
  int32_t Count = 0;
  std::vector<TZRNParticleSystem*> Items;

 private:
  struct TBlock;
  TZRNParticleManager* Manager;
  std::vector<std::unique_ptr<TBlock>> Blocks;
  std::vector<TZRNParticleSystem*> Spare;  // systems left over after the pool shrank
  std::vector<TZRNParticleSystem*> Finished;  // scratch of UpdateActive
};

class TZRNParticleManager {
 public:
  explicit TZRNParticleManager(TZRNDevice* device);
  ~TZRNParticleManager();
  TZRNParticleManager(const TZRNParticleManager&) = delete;
  TZRNParticleManager& operator=(const TZRNParticleManager&) = delete;

  void SetCapacity(int32_t n);
  void Prepare();
  // The next idle system, made from the effect and activated; nil when the pool is full.
  // With no effect the idle system comes back without being activated.
  TZRNParticleSystem* Spawn(TZRNParticleEffect* effect);
  TZRNParticleSystem* SpawnAt(TZRNParticleEffect* effect, const TVector3f& position);
  void Update(float frameTime);
  // Draws every active system; returns the number of vertices generated.
  int32_t Render();
  // The texture of the named image; writes a line to standard output when there is none.
  TZRNTexture* FindTexture(const std::string& name) const;

  TZRNDevice* Device;
  std::unique_ptr<TZRNParticleSystemList> Systems;
  std::unique_ptr<TZRNParticleEffectList> Effects;
  TZRNImageList* Images = nullptr;  // not owned
  std::unique_ptr<TZRNVertexList> Vertices;
  int32_t Capacity = 0;
  TZRNParticleRandom Random;
};
