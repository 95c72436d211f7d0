#pragma once
// Plain value types shared by every part of the engine. All floats are single precision.
#include <cstdint>

struct TVector2f {
  float X, Y;
};

struct TVector3f {
  float X, Y, Z;
};

struct TColor4f {
  float Red, Green, Blue, Alpha;
};

// Horizontal extent first, then vertical; Y grows downward.
struct TRectf {
  float Left, Right, Top, Bottom;
};

// Interleaved layout handed to OpenGL unchanged: stride 48 bytes.
struct TVertex {
  TVector2f TexCoord;
  TColor4f Color;
  TVector3f Normal;
  TVector3f Position;
};

// Column-major, as OpenGL expects: elements 12..14 are the translation.
struct TMatrix4f {
  float M[16];
  float& operator[](int i) { return M[i]; }
  float operator[](int i) const { return M[i]; }
};

static_assert(sizeof(TVector2f) == 8);
static_assert(sizeof(TVector3f) == 12);
static_assert(sizeof(TColor4f) == 16);
static_assert(sizeof(TVertex) == 48, "TVertex must match the interleaved OpenGL layout");
static_assert(sizeof(TMatrix4f) == 64);

inline constexpr TVector2f Vector2f(float x, float y) { return {x, y}; }
inline constexpr TVector3f Vector3f(float x, float y, float z) { return {x, y, z}; }
inline constexpr TColor4f Color4f(float r, float g, float b, float a) { return {r, g, b, a}; }

inline constexpr TVector3f ZeroVector{0.0f, 0.0f, 0.0f};
inline constexpr TVector3f UnitX{1.0f, 0.0f, 0.0f};
inline constexpr TVector3f UnitZ{0.0f, 0.0f, 1.0f};

inline constexpr TColor4f clrBlack{0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr TColor4f clrGray{128.0f / 255.0f, 128.0f / 255.0f, 128.0f / 255.0f, 1.0f};
inline constexpr TColor4f clrWhite{1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr TColor4f clrSkyBlue{166.0f / 255.0f, 202.0f / 255.0f, 240.0f / 255.0f, 1.0f};

inline constexpr TMatrix4f IdentityMatrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

inline bool operator==(const TVector3f& a, const TVector3f& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }
inline bool operator==(const TColor4f& a, const TColor4f& b) {
  return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue && a.Alpha == b.Alpha;
}
