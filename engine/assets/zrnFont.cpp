#include "engine/assets/zrnFont.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/core/zrnMath.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnDevice.h"

namespace {
constexpr char FontMagic[6] = {'Z', 'R', 'N', 'F', 'N', 'T'};
}

TZRNVertexList& FontVertices() {
  static TZRNVertexList vertices;
  return vertices;
}

TZRNFont::TZRNFont(TZRNDevice* device) : Device(device) {
  ZRN_ASSERT(device != nullptr, "Creating a font with a nil device", "zrnFont");
  Texture = device->CreateTexture();
  for (int32_t& i : CharacterIndex) i = -1;
}

TZRNFont::~TZRNFont() = default;

void TZRNFont::LoadFromFile(const std::string& fileName) {
  TZRNFileStream stream(fileName, TZRNFileMode::Read);
  LoadFromStream(stream);
}

void TZRNFont::LoadFromStream(TZRNStream& stream) {
  char magic[6] = {};
  int32_t version = 0;
  stream.Read(magic, sizeof(magic));
  stream.ReadValue(version);
  if (std::memcmp(magic, FontMagic, sizeof(magic)) != 0) throw EZRNError("Not a valid Zarnith font.");
  if (version != FontFileVersion) throw EZRNError("Font version missmatch.");

  Name = ReadString(stream);
  uint8_t ignored[6];
  stream.Read(ignored, sizeof(ignored));
  stream.ReadValue(Height);
  for (int32_t& m : Metrics) stream.ReadValue(m);
  int32_t count = 0;
  stream.ReadValue(count);
  // Characters are addressed by byte value, so more than 256 cannot be meant.
  if (count < 1 || count > 256) throw EZRNError(Format("Invalid font character count %d.", count));
  const int64_t recordBytes = int64_t{count} * static_cast<int64_t>(sizeof(TZRNCharacter));
  if (recordBytes > stream.Remaining()) throw EZRNStreamError("Stream read error");
  CharacterCount = count;
  Characters.SetCount(count);
  stream.ReadBuffer(Characters.List, recordBytes);

  const std::string extension = ReadString(stream);
  int64_t pictureSize = 0;
  stream.ReadValue(pictureSize);
  if (pictureSize <= 0) throw EZRNError(Format("Invalid font picture size %lld.", static_cast<long long>(pictureSize)));
  if (pictureSize > stream.Remaining()) throw EZRNStreamError("Stream read error");
  TZRNMemoryStream picture;
  picture.Bytes.resize(static_cast<size_t>(pictureSize));
  stream.ReadBuffer(picture.Bytes.data(), pictureSize);
  picture.Pos = 0;
  Texture->LoadFromStream(Name + extension, picture, loBuild);
  BuildCharacters();
}

void TZRNFont::SaveToStream(TZRNStream& stream, const std::string& compressorName) {
  TZRNGraphicCompressor* compressor = nullptr;
  if (!FindCompressor(compressorName, compressor)) {
    throw EZRNError(Format("Could not find a graphic compressor named %s", compressorName.c_str()));
  }
  TZRNTextureData data;
  data.Width = Texture->Width;
  data.Height = Texture->Height;
  data.Format = Texture->Format;
  data.Size = Texture->Size;
  data.Data = Texture->Data;
  TZRNMemoryStream picture;
  compressor->Compress(picture, data);

  stream.WriteBuffer(FontMagic, sizeof(FontMagic));
  stream.WriteValue(FontFileVersion);
  WriteString(stream, Name);
  const uint8_t zeros[6] = {};
  stream.WriteBuffer(zeros, sizeof(zeros));
  stream.WriteValue(Height);
  for (int32_t m : Metrics) stream.WriteValue(m);
  stream.WriteValue(Characters.Count);
  stream.WriteBuffer(Characters.List, int64_t{Characters.Count} * static_cast<int64_t>(sizeof(TZRNCharacter)));
  WriteString(stream, compressor->GetExtension());
  stream.WriteValue(static_cast<int64_t>(picture.Bytes.size()));
  stream.WriteBuffer(picture.Bytes.data(), static_cast<int64_t>(picture.Bytes.size()));
}

void TZRNFont::BuildCharacters() {
  Texture->Build();
  for (int32_t& i : CharacterIndex) i = -1;
  const float invW = 1.0f / static_cast<float>(Texture->Width);
  const float invH = 1.0f / static_cast<float>(Texture->Height);
  Coordinates.resize(static_cast<size_t>(Characters.Count));
  for (int32_t i = 0; i < Characters.Count; ++i) {
    const TZRNCharacter& ch = Characters[i];
    TZRNQuadCoords& c = Coordinates[static_cast<size_t>(i)];
    // Sums in 64 bits: a damaged record must not overflow.
    c.U1 = static_cast<float>(ch.X) * invW;
    c.U2 = static_cast<float>(int64_t{ch.X} + ch.Width) * invW;
    c.V1 = static_cast<float>(ch.Y) * invH;
    c.V2 = static_cast<float>(int64_t{ch.Y} + ch.Height) * invH;
    c.X1 = static_cast<float>(ch.XOffset);
    c.X2 = static_cast<float>(int64_t{ch.XOffset} + ch.Width);
    c.Y1 = static_cast<float>(ch.YOffset);
    c.Y2 = static_cast<float>(int64_t{ch.YOffset} + ch.Height);
    // The low byte, also for negative IDs (a plain remainder would index below the table).
    CharacterIndex[ch.ID & 0xFF] = i;
  }
}

int32_t TZRNFont::TextWidth(const std::string& text) const {
  int64_t width = 0;
  for (unsigned char byte : text) {
    const int32_t i = CharacterIndex[byte];
    width += i < 0 ? MissingCharacterAdvance : Characters[i].XAdvance;
  }
  // Only damaged advances can leave the 32-bit range; saturate instead of wrapping.
  const double scaled = std::round(static_cast<double>(width) * Scale);
  if (scaled > INT32_MAX) return INT32_MAX;
  if (scaled < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(scaled);
}

int32_t TZRNFont::TextHeight(const std::string& text) const {
  return text.empty() ? 0 : static_cast<int32_t>(std::lround(static_cast<double>(Height) * Scale));
}

void TZRNFont::TextOut(int32_t x, int32_t y, const TColor4f& color, const std::string& text) {
  TVector3f pen{static_cast<float>(x), static_cast<float>(y), 0.0f};
  TZRNVertexList& vertices = FontVertices();
  for (unsigned char byte : text) {
    const int32_t i = CharacterIndex[byte];
    if (i < 0) continue;
    if (Scale == 1.0f) AddQuad(vertices, Coordinates[static_cast<size_t>(i)], pen, color);
    else AddQuadTransformed(vertices, Coordinates[static_cast<size_t>(i)], MatrixTranslateScale(pen.X, pen.Y, Scale, Scale, 0.0f), color);
    pen.X += static_cast<float>(Characters[i].XAdvance) * Scale;
  }
  if (!Batching) Flush();
}

void TZRNFont::Flush() {
  TZRNVertexList& vertices = FontVertices();
  if (vertices.Count == 0) return;
  Device->SetRenderState(rsBlend, rvBlendAlpha);
  Device->SetRenderState(rsDepthTest, rvDepthTestOff);
  Device->SetTexture(Texture.get(), 0);
  Device->DrawPrimitives(ptQuads, vertices);
  vertices.Count = 0;
}
