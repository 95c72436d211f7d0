#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/assets/zrnTexture.h"
#include "engine/particles/zrnParticles.h"

// ---- pool ----

namespace {
constexpr size_t HugePage = size_t{2} << 20;

// Large blocks are aligned to huge pages and offered to the kernel as such: first touching
// tens of megabytes page by page costs far more than the constructors themselves.
void* AllocateBlock(size_t bytes) {
  if (bytes < HugePage) return ::operator new(bytes);
  const size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
  void* memory = std::aligned_alloc(HugePage, rounded);
  if (!memory) throw std::bad_alloc();
  madvise(memory, rounded, MADV_HUGEPAGE);  // advice only; fine to fail
  return memory;
}

void FreeBlock(void* memory, size_t bytes) {
  if (bytes < HugePage) ::operator delete(memory);
  else std::free(memory);
}
}  // namespace

// Systems are made in large blocks so that a pool of many thousands costs a few allocations.
struct TZRNParticleSystemList::TBlock {
  TBlock(int32_t n, TZRNParticleManager* manager)
      : Bytes(sizeof(TZRNParticleSystem) * static_cast<size_t>(n)),
        Data(static_cast<TZRNParticleSystem*>(AllocateBlock(Bytes))) {
    try {
      for (; Made < n; ++Made) new (Data + Made) TZRNParticleSystem(manager);
    } catch (...) {
      Destroy();
      throw;
    }
  }
  ~TBlock() { Destroy(); }
  TBlock(const TBlock&) = delete;
  TBlock& operator=(const TBlock&) = delete;

  void Destroy() {
    while (Made > 0) Data[--Made].~TZRNParticleSystem();
    if (Data) FreeBlock(Data, Bytes);
    Data = nullptr;
  }

  size_t Bytes;
  TZRNParticleSystem* Data;
  int32_t Made = 0;
};

TZRNParticleSystemList::TZRNParticleSystemList(TZRNParticleManager* manager) : Manager(manager) {}

TZRNParticleSystemList::~TZRNParticleSystemList() = default;

void TZRNParticleSystemList::SetCapacity(int32_t n) {
  if (n < 0) n = 0;
  if (n == Capacity) return;
  if (n < Capacity) {
    Spare.insert(Spare.end(), Items.begin() + n, Items.end());
    Items.resize(static_cast<size_t>(n));
    if (Count > n) Count = n;
  } else {
    Items.reserve(static_cast<size_t>(n));
    while (static_cast<int32_t>(Items.size()) < n && !Spare.empty()) {
      Items.push_back(Spare.back());
      Spare.pop_back();
    }
    const int32_t missing = n - static_cast<int32_t>(Items.size());
    if (missing > 0) {
      Blocks.push_back(std::make_unique<TBlock>(missing, Manager));
      TZRNParticleSystem* data = Blocks.back()->Data;
      for (int32_t i = 0; i < missing; ++i) Items.push_back(data + i);
    }
  }
  Capacity = n;
}

void TZRNParticleSystemList::Delete(int32_t index) {
  if (index < 0 || index >= Count) return;
  TZRNParticleSystem* removed = Items[static_cast<size_t>(index)];
  TZRNParticleSystem** items = Items.data();
  std::memmove(items + index, items + index + 1, static_cast<size_t>(Count - index - 1) * sizeof(*items));
  items[Count - 1] = removed;
  --Count;
}

namespace {
// Systems compare by texture creation number; without a texture a system is equal to any other.
inline bool DrawsAfter(const TZRNParticleSystem* a, const TZRNParticleSystem* b) {
  return a->Texture && b->Texture && a->Texture->ID > b->Texture->ID;
}
}  // namespace

void TZRNParticleSystemList::Activate() {
  TZRNParticleSystem** items = Items.data();
  TZRNParticleSystem* arriving = items[Count];
  int32_t place = Count;
  while (place > 0 && DrawsAfter(items[place - 1], arriving)) --place;
  std::memmove(items + place + 1, items + place, static_cast<size_t>(Count - place) * sizeof(*items));
  items[place] = arriving;
  ++Count;
}

void TZRNParticleSystemList::UpdateActive(float frameTime) {
  Finished.clear();
  TZRNParticleSystem** items = Items.data();
  int32_t kept = 0;
  for (int32_t i = 0; i < Count; ++i) {
    TZRNParticleSystem* system = items[i];
    if (system->Update(frameTime)) Finished.push_back(system);
    else items[kept++] = system;
  }
  // Deleting one at a time puts each finished system just behind the active ones, so the last
  // to finish ends up first.
  for (size_t k = Finished.size(); k-- > 0;) items[kept++] = Finished[k];
  Count -= static_cast<int32_t>(Finished.size());
}

// ---- manager ----

TZRNParticleManager::TZRNParticleManager(TZRNDevice* device)
    : Device(device),
      Systems(std::make_unique<TZRNParticleSystemList>(this)),
      Effects(std::make_unique<TZRNParticleEffectList>(this)),
      Vertices(std::make_unique<TZRNVertexList>(1024)) {
  SetCapacity(255);
}

TZRNParticleManager::~TZRNParticleManager() {
  Effects.reset();
  Vertices.reset();
  Systems.reset();
}

void TZRNParticleManager::SetCapacity(int32_t n) {
  Capacity = n;
  Systems->SetCapacity(n);
}

void TZRNParticleManager::Prepare() {
  for (int32_t i = 0; i < Effects->Count(); ++i) Effects->Items(i)->Prepare();
}

TZRNParticleSystem* TZRNParticleManager::Spawn(TZRNParticleEffect* effect) {
  if (Systems->Count >= Systems->Capacity) return nullptr;
  TZRNParticleSystem* system = (*Systems)[Systems->Count];
  if (!effect) return system;
  system->Initialize(effect);
  system->Reset();
  Systems->Activate();
  return system;
}

TZRNParticleSystem* TZRNParticleManager::SpawnAt(TZRNParticleEffect* effect, const TVector3f& position) {
  TZRNParticleSystem* system = Spawn(effect);
  if (system) system->MoveTo(position);
  return system;
}

void TZRNParticleManager::Update(float frameTime) { Systems->UpdateActive(frameTime); }
