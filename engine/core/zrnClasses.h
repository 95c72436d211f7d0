#pragma once
// Errors, the growable vector and vertex lists, the matrix object and the asset-list base.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

#include "engine/core/zrnTypes.h"

// Every engine error is an exception carrying a fixed message text.
class EZRNError : public std::runtime_error {
 public:
  explicit EZRNError(const std::string& message) : std::runtime_error(message) {}
};

// Programming errors detected by the engine: "%s (%s, line %d)".
class EZRNAssertion : public EZRNError {
 public:
  EZRNAssertion(const std::string& message, const char* unit, int line);
};

#define ZRN_ASSERT(cond, message, unit)                         \
  do {                                                          \
    if (!(cond)) throw EZRNAssertion((message), (unit), __LINE__); \
  } while (0)

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Shared growth rule: a quarter above 64, 16 above 8, else 4 — computed from the count.
inline int32_t GrowCapacity(int32_t count, int32_t capacity) {
  const int32_t delta = capacity > 64 ? capacity / 4 : (capacity > 8 ? 16 : 4);
  return count + delta;
}

// Growable array of trivially copyable items with the engine's growth rule.
template <typename T>
class TZRNGrowableList {
 public:
  TZRNGrowableList() = default;
  explicit TZRNGrowableList(int32_t capacity) { SetCapacity(capacity); }
  TZRNGrowableList(const TZRNGrowableList&) = delete;
  TZRNGrowableList& operator=(const TZRNGrowableList&) = delete;
  virtual ~TZRNGrowableList() { std::free(List); }

  int32_t Count = 0;
  int32_t Capacity = 0;
  T* List = nullptr;

  void SetCapacity(int32_t n) {
    if (n == Capacity) return;
    if (n <= 0) {
      std::free(List);
      List = nullptr;
    } else {
      void* grown = std::realloc(List, static_cast<size_t>(n) * sizeof(T));
      if (!grown) throw std::bad_alloc();
      List = static_cast<T*>(grown);
    }
    Capacity = n;
    if (Count > Capacity) Count = Capacity;
  }
  void SetCount(int32_t n) {
    Count = n;
    if (Count > Capacity) Grow();
  }
  void Grow() { SetCapacity(GrowCapacity(Count, Capacity)); }
  // Reserves n uninitialised items at the end; returns the index of the first.
  int32_t Alloc(int32_t n) {
    const int32_t first = Count;
    Count += n;
    if (Count > Capacity) Grow();
    return first;
  }
  void Clear() { SetCount(0); }
  T& operator[](int32_t i) { return List[i]; }
  const T& operator[](int32_t i) const { return List[i]; }
};

class TZRNVectorList3f : public TZRNGrowableList<TVector3f> {
 public:
  using TZRNGrowableList::TZRNGrowableList;
};

class TZRNVertexList : public TZRNGrowableList<TVertex> {
 public:
  using TZRNGrowableList::TZRNGrowableList;
};

// A current matrix with a small stack; the device listens for changes.
class TZRNMatrix {
 public:
  TMatrix4f Matrix = IdentityMatrix;
  TMatrix4f Stack[16]{};
  int32_t StackCount = 0;
  std::function<void(TZRNMatrix&)> OnChange;

  void Load(const TMatrix4f& m);
  void Multiply(const TMatrix4f& m);
  void Push();
  void Pop();

 private:
  void Changed();
};

class TZRNStream;

// Abstract base of the asset lists.
class TZRNList {
 public:
  virtual ~TZRNList() = default;
  virtual void LoadFromStream(TZRNStream& stream, int32_t count) = 0;
  virtual void SaveToStream(TZRNStream& stream, int32_t count) = 0;
  virtual int32_t GetCount() const = 0;
};
