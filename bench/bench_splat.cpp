// The CPU sprite splatter at the player's heaviest load: a frame of about 2,800 glows of 20 to
// 60 pixels, turned every way, on a 1366 x 768 picture, drawn on every core. Printed as
// nanoseconds per covered pixel (the whole machine's time) and milliseconds per frame, medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "engine/device/zrnSoftSplat.h"

namespace {
constexpr int32_t Side = 64, Width = 1366, Height = 768, Sprites = 2800;

// A white 64 x 64 glow and its mipmap levels, each level averaging 2 x 2 of the one before.
std::vector<TZRNSplatTexture> GlowLevels() {
  std::vector<uint8_t> alpha(Side * Side);
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x)
      alpha[static_cast<size_t>(y * Side + x)] =
          static_cast<uint8_t>(255 * std::exp(-(std::pow(x + 0.5 - 32, 2) + std::pow(y + 0.5 - 32, 2)) / 120));
  std::vector<TZRNSplatTexture> levels;
  for (int side = Side; side >= 1; side /= 2) {
    levels.emplace_back().Build(alpha.data(), side, side, pfAlpha);
    std::vector<uint8_t> half(static_cast<size_t>(std::max(side / 2, 1) * std::max(side / 2, 1)));
    for (int y = 0; y < side / 2; ++y)
      for (int x = 0; x < side / 2; ++x) {
        const auto at = [&](int dx, int dy) { return alpha[static_cast<size_t>((2 * y + dy) * side + 2 * x + dx)]; };
        half[static_cast<size_t>(y * (side / 2) + x)] = static_cast<uint8_t>((at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1) + 2) / 4);
      }
    alpha = half;
  }
  return levels;
}

std::vector<TVertex> Quads(std::mt19937& random) {
  std::uniform_real_distribution<float> x(0, Width), y(0, Height), half(10, 30), turn(0, 6.2832f), shade(0.2f, 1);
  std::vector<TVertex> quads;
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int i = 0; i < Sprites; ++i) {
    const float cx = x(random), cy = y(random), h = half(random), a = turn(random);
    const TColor4f colour{shade(random), shade(random), shade(random), shade(random)};
    for (const auto& k : corners) {
      TVertex v{};
      v.Color = colour;
      v.TexCoord = {(k[0] + 1) / 2, (k[1] + 1) / 2};
      v.Position = {cx + h * (k[0] * std::cos(a) - k[1] * std::sin(a)), cy + h * (k[0] * std::sin(a) + k[1] * std::cos(a)), 0};
      quads.push_back(v);
    }
  }
  return quads;
}

void SplatAFrame(benchmark::State& state) {
  const std::vector<TZRNSplatTexture> levels = GlowLevels();
  std::mt19937 random(7);
  const std::vector<TVertex> quads = Quads(random);
  constexpr float Identity[8] = {1, 0, 0, 0, 0, 1, 0, 0};
  TZRNSoftLayer layer;
  layer.Resize(Width, Height);
  TZRNCoreTeam team;
  double pixels = 0;
  for (size_t q = 0; q < quads.size(); q += 4) {
    const float dx = quads[q + 1].Position.X - quads[q].Position.X, dy = quads[q + 1].Position.Y - quads[q].Position.Y;
    pixels += dx * dx + dy * dy;
  }
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (size_t q = 0; q < quads.size(); q += 4) {
      TZRNSplat splat;
      bool empty = false;
      if (ZRNSplatOf(&quads[q], Identity, Width, Height, levels, splat, empty) && !empty) layer.Add(splat);
    }
    int32_t first = 0, end = 0;
    layer.Resolve(team, first, end);
    benchmark::DoNotOptimize(layer.Row(first));
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  // The median: this machine's other work makes single frames slow now and then.
  std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
  const double median = seconds[seconds.size() / 2];
  state.counters["ms_per_frame"] = median * 1e3;
  state.counters["machine_ns_per_pixel"] = median * std::max(1u, std::thread::hardware_concurrency()) / pixels * 1e9;
  state.counters["pixels_per_frame"] = pixels;
  state.counters["code"] = static_cast<double>(layer.Code);  // 0 plain, 1 AVX2, 2 AVX-512
}
BENCHMARK(SplatAFrame)->Iterations(200)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
