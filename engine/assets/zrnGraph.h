#pragma once
// Key-framed curves over normalised time, sampled once into small tables.
#include <cstdint>
#include <string>

#include "engine/core/zrnClasses.h"

struct TZRNGraphKey {
  float Time;
  float Value;
};

// Keys must be added in ascending time; the sampler relies on it.
class TZRNGraphKeyList : public TZRNGrowableList<TZRNGraphKey> {
 public:
  void Add(float time, float value) {
    const int32_t index = Alloc(1);  // may move List
    List[index] = TZRNGraphKey{time, value};
  }
};

enum TZRNGraphInterpolation : uint8_t { giLinear = 0, giCubic = 1, giStep = 2 };

class TZRNGraph {
 public:
  TZRNGraph() = default;
  virtual ~TZRNGraph() = default;
  TZRNGraph(const TZRNGraph&) = delete;
  TZRNGraph& operator=(const TZRNGraph&) = delete;

  void SetMin(float value) { Min = value; }
  void SetMax(float value) { Max = value; }

  // Fills dest[0..n-1] with the curve at times 0, 1/n, ... (n-1)/n, clamped to Min..Max.
  // Everything is single precision and the key index moves at most one key per sample,
  // so fast curves lag behind; callers depend on these exact tables.
  void Sample(float* dest, int32_t n) const;

  std::string Name;
  TZRNGraphInterpolation Interpolation = giLinear;
  TZRNGraphKeyList Keys;
  float Min = 0.0f;
  float Max = 1.0f;
};
