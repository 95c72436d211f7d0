#pragma once
// Bitmap fonts: one texture with every glyph, a character table and the "ZRNFNT" file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnImage.h"
#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnClasses.h"

class TZRNDevice;
class TZRNStream;

// 32-byte record, also the on-disk layout.
struct TZRNCharacter {
  int32_t ID = 0;  // its low byte selects the character in a text
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t XOffset = 0;
  int32_t YOffset = 0;
  int32_t XAdvance = 0;
};
static_assert(sizeof(TZRNCharacter) == 32);

class TZRNCharacterList : public TZRNGrowableList<TZRNCharacter> {};

inline constexpr int32_t FontFileVersion = 4;
// Advance used for a byte the font has no character for.
inline constexpr int32_t MissingCharacterAdvance = 16;

// The vertex list every font appends to; emptied by each flush.
TZRNVertexList& FontVertices();

class TZRNFont {
 public:
  explicit TZRNFont(TZRNDevice* device);
  ~TZRNFont();
  TZRNFont(const TZRNFont&) = delete;
  TZRNFont& operator=(const TZRNFont&) = delete;

  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TZRNStream& stream);
  // Writes "ZRNFNT": the ignored fields as zeros and Texture's pixels as an embedded picture made
  // by the compressor registered under compressorName (its extension is stored with it).
  void SaveToStream(TZRNStream& stream, const std::string& compressorName = "FreeImage.PNG");
  void BuildCharacters();

  int32_t TextWidth(const std::string& text) const;
  int32_t TextHeight(const std::string& text) const;
  // (x, y) is the pen position, the text's top-left reference point.
  void TextOut(int32_t x, int32_t y, const TColor4f& color, const std::string& text);
  // Sends the shared vertex list with this font's texture (what TextOut does unless Batching).
  void Flush();

  TZRNDevice* Device;
  std::string Name = "Unnamed";
  std::unique_ptr<TZRNTexture> Texture;
  TZRNCharacterList Characters;
  int32_t Height = 0;
  int32_t Metrics[3] = {};
  int32_t CharacterCount = 0;
  bool Batching = false;
  // Magnifies every glyph, its advance and the measured sizes (HiDPI screens without a font
  // drawn at their resolution).
  float Scale = 1.0f;
  int32_t CharacterIndex[256];
  std::vector<TZRNQuadCoords> Coordinates;
};
