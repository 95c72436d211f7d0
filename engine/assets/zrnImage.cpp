#include "engine/assets/zrnImage.h"

#include <cstring>

#include "engine/core/zrnMath.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnDevice.h"

namespace {
constexpr char ImageMagic[6] = {'Z', 'R', 'N', 'I', 'M', 'G'};
}

// ---- Patterns ----

std::string TZRNPattern::GetName() const {
  const size_t n = NameLength < PatternNameCapacity ? NameLength : PatternNameCapacity;
  return std::string(NameChars, n);
}

void TZRNPattern::SetName(const std::string& name) {
  const size_t n = name.size() < PatternNameCapacity ? name.size() : PatternNameCapacity;
  std::memset(NameChars, 0, sizeof(NameChars));
  std::memcpy(NameChars, name.data(), n);
  NameLength = static_cast<uint8_t>(n);
}

TZRNPattern MakePattern(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t pivotX, int32_t pivotY) {
  TZRNPattern p;
  p.SetName(name);
  p.X = x;
  p.Y = y;
  p.Width = width;
  p.Height = height;
  p.PivotX = pivotX;
  p.PivotY = pivotY;
  return p;
}

void TZRNPatternList::Add(const TZRNPattern& pattern) {
  const int32_t i = Alloc(1);  // may move List
  List[i] = pattern;
}

int32_t TZRNPatternList::IndexOf(const std::string& name) const {
  for (int32_t i = 0; i < Count; ++i)
    if (SameText(List[i].GetName(), name)) return i;
  return -1;
}

// ---- Quads ----

namespace {
// Appends the four corners of a quad (top-left, top-right, bottom-right, bottom-left); place maps a
// corner relative to the pivot to its position.
template <typename Place>
void AppendQuad(TZRNVertexList& list, const TZRNQuadCoords& c, const TColor4f& color, Place place) {
  const int32_t first = list.Alloc(4);  // may move List
  TVertex* v = list.List + first;
  const float xs[4] = {c.X1, c.X2, c.X2, c.X1};
  const float ys[4] = {c.Y1, c.Y1, c.Y2, c.Y2};
  const float us[4] = {c.U1, c.U2, c.U2, c.U1};
  const float vs[4] = {c.V1, c.V1, c.V2, c.V2};
  for (int i = 0; i < 4; ++i) {
    v[i].TexCoord = {us[i], vs[i]};
    v[i].Color = color;
    v[i].Position = place(xs[i], ys[i]);
  }
}
}  // namespace

void AddQuad(TZRNVertexList& list, const TZRNQuadCoords& c, const TVector3f& position, const TColor4f& color) {
  AppendQuad(list, c, color, [&](float x, float y) { return TVector3f{position.X + x, position.Y + y, position.Z}; });
}

void AddQuadTransformed(TZRNVertexList& list, const TZRNQuadCoords& c, const TMatrix4f& matrix,
                        const TColor4f& color) {
  AppendQuad(list, c, color, [&](float x, float y) { return MatrixTransform(matrix, TVector3f{x, y, 0.0f}); });
}

// ---- Image ----

TZRNImage::TZRNImage(TZRNDevice* device) : Device(device) {
  ZRN_ASSERT(device != nullptr, "Creating an image with a nil device", "zrnImage");
  Texture = device->CreateTexture();
}

TZRNImage::~TZRNImage() = default;

void TZRNImage::LoadFromFile(const std::string& fileName) {
  const std::string ext = ExtractFileExt(fileName);
  if (ext == ".zrnimg" || ext == ".dat") {
    TZRNFileStream stream(fileName, TZRNFileMode::Read);
    LoadFromStream(stream);
    return;
  }
  Texture->LoadFromFile(fileName, 0);
  Texture->Settings->Mipmaps = false;
  Texture->Settings->MinFilter = tfLinear;
  Texture->Settings->MagFilter = tfLinear;
  Texture->Build();
  Name = ExtractFileName(fileName);
  Width = Texture->Width;
  Height = Texture->Height;
  UpdateCoordinates();
}

void TZRNImage::LoadFromStream(TZRNStream& stream) {
  char magic[6] = {};
  int32_t version = 0;
  stream.Read(magic, sizeof(magic));
  stream.ReadValue(version);
  if (std::memcmp(magic, ImageMagic, sizeof(magic)) != 0) throw EZRNError("Not a valid Zarnith image.");
  if (version != ImageFileVersion) {
    throw EZRNError(Format("Image version missmatch [File: %d Code: %d].", version, ImageFileVersion));
  }
  Name = ReadString(stream);
  stream.ReadValue(Width);
  stream.ReadValue(Height);
  int32_t count = 0;
  stream.ReadValue(count);
  // Refused before any storage is made for it.
  if (count < 0 || int64_t{count} * static_cast<int64_t>(sizeof(TZRNPattern)) > stream.Remaining()) {
    throw EZRNError(Format("Invalid pattern count %d.", count));
  }
  Patterns.SetCount(0);
  Patterns.SetCapacity(count);
  Patterns.SetCount(count);
  stream.ReadBuffer(Patterns.List, int64_t{count} * static_cast<int64_t>(sizeof(TZRNPattern)));
  Texture->LoadFromStream(stream);
  UpdateCoordinates();
}

void TZRNImage::SaveToStream(TZRNStream& stream) {
  stream.WriteBuffer(ImageMagic, sizeof(ImageMagic));
  stream.WriteValue(ImageFileVersion);
  WriteString(stream, Name);
  stream.WriteValue(Width);
  stream.WriteValue(Height);
  stream.WriteValue(Patterns.Count);
  stream.WriteBuffer(Patterns.List, int64_t{Patterns.Count} * static_cast<int64_t>(sizeof(TZRNPattern)));
  Texture->SaveToStream(stream);
}

void TZRNImage::UpdateCoordinates() {
  float invW = 0.0f, invH = 0.0f;
  if (Width != 0 && Height != 0) {
    invW = 1.0f / static_cast<float>(Width);
    invH = 1.0f / static_cast<float>(Height);
  }
  Coordinates.resize(static_cast<size_t>(Patterns.Count) + 1);
  Coordinates[0] = {0.0f, 1.0f, 0.0f, 1.0f, 0.0f, static_cast<float>(Width), 0.0f, static_cast<float>(Height)};
  for (int32_t i = 0; i < Patterns.Count; ++i) {
    const TZRNPattern& p = Patterns[i];
    TZRNQuadCoords& c = Coordinates[static_cast<size_t>(i) + 1];
    // Sums in 64 bits: a damaged record must not overflow.
    c.U1 = static_cast<float>(p.X) * invW;
    c.U2 = static_cast<float>(int64_t{p.X} + p.Width) * invW;
    c.V1 = static_cast<float>(p.Y) * invH;
    c.V2 = static_cast<float>(int64_t{p.Y} + p.Height) * invH;
    c.X1 = static_cast<float>(-int64_t{p.PivotX});
    c.X2 = static_cast<float>(int64_t{p.Width} - p.PivotX);
    c.Y1 = static_cast<float>(-int64_t{p.PivotY});
    c.Y2 = static_cast<float>(int64_t{p.Height} - p.PivotY);
  }
}

void TZRNImage::CreatePatterns(int32_t patternWidth, int32_t patternHeight, bool center) {
  if (Width == 0 || Height == 0) return;
  if (patternWidth <= 0) patternWidth = 1;
  if (patternHeight <= 0) patternHeight = 1;
  Patterns.SetCount(0);
  for (int64_t y = 0; y < Height; y += patternHeight) {
    for (int64_t x = 0; x < Width; x += patternWidth) {
      // Half the size, truncated (sizes are positive here).
      const int32_t pivotX = center ? patternWidth / 2 : 0;
      const int32_t pivotY = center ? patternHeight / 2 : 0;
      Patterns.Add(MakePattern(Format("Pattern %d", Patterns.Count), static_cast<int32_t>(x),
                               static_cast<int32_t>(y), patternWidth, patternHeight, pivotX,
                               pivotY));
    }
  }
  UpdateCoordinates();
}

void TZRNImage::Draw(float x, float y, int32_t patternIndex, const TColor4f& color) {
  AddQuad(Vertices, Coordinates[static_cast<size_t>(patternIndex + 1)], {x, y, 0.0f}, color);
  if (!Batching) FlushWith(false);
}

void TZRNImage::DrawAdd(float x, float y, int32_t patternIndex, const TColor4f& color) {
  AddQuad(Vertices, Coordinates[static_cast<size_t>(patternIndex + 1)], {x, y, 0.0f}, color);
  if (!Batching) FlushWith(true);
}

void TZRNImage::DrawTransformed(const TMatrix4f& matrix, int32_t patternIndex, const TColor4f& color,
                                bool additive) {
  AddQuadTransformed(Vertices, Coordinates[static_cast<size_t>(patternIndex + 1)], matrix, color);
  if (!Batching) FlushWith(additive);
}

void TZRNImage::Flush() { FlushWith(false); }

void TZRNImage::FlushWith(bool additive) {
  Device->SetRenderState(rsBlend, additive ? rvBlendAdditive : rvBlendAlpha);
  Device->SetRenderState(rsDepthTest, rvDepthTestOff);
  Device->SetTexture(Texture.get(), 0);
  Device->DrawPrimitives(ptQuads, Vertices);
  Vertices.Count = 0;
}

// ---- Image list ----

TZRNImageList::TZRNImageList(TZRNDevice* device) : Device(device) {}

TZRNImageList::~TZRNImageList() = default;

TZRNImage* TZRNImageList::Add() {
  Images.push_back(std::make_unique<TZRNImage>(Device));
  return Images.back().get();
}

TZRNImage* TZRNImageList::LoadImage(const std::string& fileName) {
  TZRNImage* image = Add();
  image->LoadFromFile(fileName);
  return image;
}

void TZRNImageList::Clear() { Images.clear(); }

int32_t TZRNImageList::GetCount() const { return static_cast<int32_t>(Images.size()); }

int32_t TZRNImageList::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < Images.size(); ++i)
    if (SameText(Images[i]->Name, name)) return static_cast<int32_t>(i);
  return -1;
}

TZRNImage* TZRNImageList::Find(const std::string& name) const {
  const int32_t i = IndexOf(name);
  if (i >= 0) return Images[static_cast<size_t>(i)].get();
  if (name != "NIL") return Find("NIL");
  return nullptr;
}

void TZRNImageList::LoadFromStream(TZRNStream& stream, int32_t count) {
  Clear();
  for (int32_t i = 0; i < count; ++i) {
    auto image = std::make_unique<TZRNImage>(Device);
    image->LoadFromStream(stream);
    Images.push_back(std::move(image));
  }
}

void TZRNImageList::SaveToStream(TZRNStream& stream, int32_t count) {
  for (int32_t i = 0; i < count && i < GetCount(); ++i) Images[static_cast<size_t>(i)]->SaveToStream(stream);
}
