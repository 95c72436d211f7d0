#include "engine/particles/zrnParticles.h"

namespace {
constexpr int32_t LayoutCells[CellLayoutCount] = {1, 4, 16, 64};
constexpr int32_t LayoutFirst[CellLayoutCount] = {0, 1, 5, 21};

constexpr TZRNCellRect GridCell(int32_t n, int32_t columns, int32_t rows) {
  return {static_cast<float>(n % columns) / static_cast<float>(columns),
          static_cast<float>(n % columns + 1) / static_cast<float>(columns),
          static_cast<float>(n / columns) / static_cast<float>(rows),
          static_cast<float>(n / columns + 1) / static_cast<float>(rows)};
}

constexpr std::array<TZRNCellRect, CellEntryCount> MakeCellRects() {
  std::array<TZRNCellRect, CellEntryCount> rects{};
  rects[0] = {0, 1, 0, 1};
  // Layout 1 is the top row of a 4 x 4 grid, not a 2 x 2 grid.
  for (int32_t k = 0; k < 4; ++k) rects[static_cast<size_t>(1 + k)] = GridCell(k, 4, 4);
  for (int32_t n = 0; n < 16; ++n) rects[static_cast<size_t>(5 + n)] = GridCell(n, 4, 4);
  for (int32_t n = 0; n < 64; ++n) rects[static_cast<size_t>(21 + n)] = GridCell(n, 8, 8);
  return rects;
}

inline uint8_t HeldLayout(uint8_t layout) { return layout < CellLayoutCount ? layout : CellLayoutCount - 1; }
}  // namespace

const std::array<TZRNCellRect, CellEntryCount> CellRects = MakeCellRects();

int32_t CellCountOf(uint8_t layout) { return LayoutCells[HeldLayout(layout)]; }
int32_t FirstCellOf(uint8_t layout) { return LayoutFirst[HeldLayout(layout)]; }

// ---- curves ----

TZRNParticleGraphs::TZRNParticleGraphs(int32_t samples)
    : Samples(samples),
      GreenTable(static_cast<size_t>(samples)),
      RedTable(static_cast<size_t>(samples)),
      AlphaTable(static_cast<size_t>(samples)),
      BlueTable(static_cast<size_t>(samples)),
      SizeTable(static_cast<size_t>(samples)),
      CellTable(static_cast<size_t>(samples)) {
  Cell.SetMin(0);
  Cell.SetMax(16);
}

void TZRNParticleGraphs::Sample() {
  Cell.Interpolation = giStep;
  Green.Sample(GreenTable.data(), Samples);
  Red.Sample(RedTable.data(), Samples);
  Alpha.Sample(AlphaTable.data(), Samples);
  Blue.Sample(BlueTable.data(), Samples);
  Size.Sample(SizeTable.data(), Samples);
  Cell.Sample(CellTable.data(), Samples);
}

// ---- effect ----

TZRNParticleEffect::TZRNParticleEffect(TZRNParticleManager* manager)
    : Manager(manager),
      EmissionPoints(std::make_unique<TZRNEmisionPoints>()),
      Graphs(std::make_unique<TZRNParticleGraphs>(EffectGraphSamples)) {}

void TZRNParticleEffect::SetCellLayout(uint8_t layout) {
  CellLayout = HeldLayout(layout);
  const int32_t count = CellCountOf(CellLayout);
  if (Cell >= count) Cell = static_cast<uint16_t>(count - 1);
}

void TZRNParticleEffect::SetCell(uint16_t cell) {
  const int32_t count = CellCountOf(CellLayout);
  Cell = static_cast<uint16_t>(cell < count ? cell : count - 1);
}

uint8_t TZRNParticleEffect::CellEntry() const {
  // The fields are public, so hold them inside the table even when set directly.
  const int32_t count = CellCountOf(CellLayout);
  return static_cast<uint8_t>(FirstCellOf(CellLayout) + (Cell < count ? Cell : count - 1));
}

void TZRNParticleEffect::Prepare() { Graphs->Sample(); }

// ---- effect list ----

TZRNParticleEffect* TZRNParticleEffectList::Add() {
  List.push_back(std::make_unique<TZRNParticleEffect>(Manager));
  return List.back().get();
}

TZRNParticleEffect* TZRNParticleEffectList::Items(int32_t index) const {
  ZRN_ASSERT(index >= 0 && index < Count(), "List index out of bounds", "zrnParticles");
  return List[static_cast<size_t>(index)].get();
}
