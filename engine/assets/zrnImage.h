#pragma once
// Images: a texture cut into named patterns with pivots, the "ZRNIMG" file, image lists,
// the textured-quad helpers shared with fonts, and pattern animations.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnClasses.h"
#include "engine/core/zrnTypes.h"

class TZRNDevice;
class TZRNStream;

inline constexpr int32_t PatternNameCapacity = 128;

// Fixed 156-byte record, written to and read from image files byte for byte.
struct TZRNPattern {
  uint8_t NameLength = 0;
  char NameChars[PatternNameCapacity] = {};
  uint8_t Padding[3] = {};
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PivotX = 0;
  int32_t PivotY = 0;

  // A stored length above 128 (only possible in a damaged file) reads as 128 characters.
  std::string GetName() const;
  // Longer names are cut to 128 characters; the unused characters are zeroed.
  void SetName(const std::string& name);
};
static_assert(sizeof(TZRNPattern) == 156);
static_assert(offsetof(TZRNPattern, X) == 132);
static_assert(offsetof(TZRNPattern, PivotY) == 152);

TZRNPattern MakePattern(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t pivotX, int32_t pivotY);

class TZRNPatternList : public TZRNGrowableList<TZRNPattern> {
 public:
  void Add(const TZRNPattern& pattern);
  // First pattern whose name matches without regard to ASCII case, or -1.
  int32_t IndexOf(const std::string& name) const;
};

struct TZRNQuadCoords {
  float U1, U2, V1, V2;
  float X1, X2, Y1, Y2;
};

// Appends one textured quad (4 vertices, clockwise from the top-left); Normal is left unwritten.
void AddQuad(TZRNVertexList& list, const TZRNQuadCoords& coords, const TVector3f& position, const TColor4f& color);
void AddQuadTransformed(TZRNVertexList& list, const TZRNQuadCoords& coords, const TMatrix4f& matrix,
                        const TColor4f& color);

inline constexpr int32_t ImageFileVersion = 4;

class TZRNImage {
 public:
  explicit TZRNImage(TZRNDevice* device);
  ~TZRNImage();
  TZRNImage(const TZRNImage&) = delete;
  TZRNImage& operator=(const TZRNImage&) = delete;

  // ".zrnimg" and ".dat" (exact case) are image files; anything else is imported as a picture.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TZRNStream& stream);
  void SaveToStream(TZRNStream& stream);
  void CreatePatterns(int32_t patternWidth, int32_t patternHeight, bool center);
  void UpdateCoordinates();

  // patternIndex -1 is the whole picture.
  void Draw(float x, float y, int32_t patternIndex, const TColor4f& color);
  void DrawAdd(float x, float y, int32_t patternIndex, const TColor4f& color);
  void DrawTransformed(const TMatrix4f& matrix, int32_t patternIndex, const TColor4f& color, bool additive);
  void Flush();

  TZRNDevice* Device;
  std::string Name = "Image";
  int32_t Width = 0;
  int32_t Height = 0;
  TZRNPatternList Patterns;
  std::unique_ptr<TZRNTexture> Texture;
  bool Batching = false;
  TZRNVertexList Vertices{32};
  // Entry 0 is the whole picture, entry i + 1 pattern i.
  std::vector<TZRNQuadCoords> Coordinates;

 private:
  void FlushWith(bool additive);
};

class TZRNImageList : public TZRNList {
 public:
  explicit TZRNImageList(TZRNDevice* device);
  ~TZRNImageList() override;

  TZRNImage* Add();
  TZRNImage* LoadImage(const std::string& fileName);
  void Clear();
  int32_t GetCount() const override;
  TZRNImage* Items(int32_t index) const { return Images[static_cast<size_t>(index)].get(); }
  TZRNImage* operator[](int32_t index) const { return Items(index); }
  int32_t IndexOf(const std::string& name) const;
  // Missing names fall back to the image named "NIL" (any case); nullptr when that is missing too.
  TZRNImage* Find(const std::string& name) const;
  void LoadFromStream(TZRNStream& stream, int32_t count) override;
  void SaveToStream(TZRNStream& stream, int32_t count) override;

  TZRNDevice* Device;
  std::vector<std::unique_ptr<TZRNImage>> Images;
};

// ---- Animations ----

struct TZRNAnimationFrame {
  float Duration;   // seconds
  int32_t Pattern;  // index into the image's patterns
};

class TZRNAnimationFrameList : public TZRNGrowableList<TZRNAnimationFrame> {
 public:
  // Fails with an assertion when the image has no pattern of that name (any case).
  void AddFrame(const std::string& patternName, const TZRNImage* image, float duration);
  void AddFrame(const std::string& patternName, const TZRNImage& image, float duration) {
    AddFrame(patternName, &image, duration);
  }
  TZRNAnimationFrame GetFrame(int32_t index) const { return List[index]; }
};

struct TZRNAnimationState {
  bool Active = false;
  float Time = 0.0f;
  int32_t Frame = 0;
};

class TZRNAnimation {
 public:
  TZRNAnimation() = default;
  explicit TZRNAnimation(std::string name) : Name(std::move(name)) {}
  TZRNAnimation(const TZRNAnimation&) = delete;
  TZRNAnimation& operator=(const TZRNAnimation&) = delete;

  // 0 fps shows each frame for ever.
  void SetFrameRate(int32_t fps);
  void Reset(TZRNAnimationState& state) const;
  // Advances at most one frame per call.
  void Update(TZRNAnimationState& state, float deltaTime) const;
  void Draw(const TZRNAnimationState& state, TZRNImage* image, bool additive, const TColor4f& color, int32_t x,
            int32_t y) const;
  void DrawTransformed(const TZRNAnimationState& state, TZRNImage* image, bool additive, const TColor4f& color,
                       const TMatrix4f& matrix) const;

  std::string Name;
  bool Loop = false;
  TZRNAnimationFrameList Frames;
};

class TZRNAnimationSet {
 public:
  TZRNAnimationSet() = default;
  TZRNAnimationSet(const TZRNAnimationSet&) = delete;
  TZRNAnimationSet& operator=(const TZRNAnimationSet&) = delete;

  // The first animation added becomes current.
  TZRNAnimation* Add(const std::string& name);
  TZRNAnimation* Find(const std::string& name) const;
  // Choosing the current animation again resumes it without rewinding.
  void SetAnimation(TZRNAnimation* animation);
  void Reset();
  void Update(float deltaTime);
  void Draw(TZRNImage* image, int32_t x, int32_t y, float r, float g, float b, float a, bool additive);
  void DrawTransformed(TZRNImage* image, const TMatrix4f& matrix, float r, float g, float b, float a,
                       bool additive);

  std::string Name;
  std::vector<std::unique_ptr<TZRNAnimation>> Animations;
  TZRNAnimation* Current = nullptr;
  TZRNAnimationState State;
};
