#include "engine/assets/zrnTexture.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/core/zrnStreams.h"

const int32_t PixelFormatBytes[8] = {0, 1, 1, 1, 1, 1, 3, 4};

namespace {

constexpr char TextureMagic[6] = {'Z', 'R', 'N', 'T', 'E', 'X'};
constexpr int32_t TextureVersion = 1;

struct TRegistries {
  TZRNGraphicFormatList Formats;
  TZRNGraphicCompressorList Compressors;
};

// Made on first use, whatever the order in which static objects of the program are constructed.
TRegistries& Registries() {
  static TRegistries registries;
  return registries;
}

// Width x height x bytes per pixel without overflow; -1 when negative or beyond 32 bits.
int64_t PixelBytes(int32_t width, int32_t height, uint8_t format) {
  if (width < 0 || height < 0) return -1;
  const int64_t pixels = int64_t{width} * height;  // at most 2^62
  if (pixels > INT32_MAX) return -1;
  return pixels * PixelFormatBytes[format <= pfRGBA ? format : 0];
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string ExtractFileName(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
  const std::string name = ExtractFileName(fileName);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool TextureDimensionsSane(int64_t width, int64_t height) {
  return width >= 0 && height >= 0 && width <= MaxTextureDimension && height <= MaxTextureDimension &&
         width * height <= MaxTexturePixels;
}

// ---- Registries ----

void TZRNGraphicFormatList::Add(const std::string& extension, TZRNGraphicImporter* importer) {
  TZRNGraphicFormat entry;
  const size_t n = extension.size() < 8 ? extension.size() : 8;
  std::memcpy(entry.Extension, extension.data(), n);
  entry.Importer = importer;
  Entries.push_back(entry);
}

void TZRNGraphicCompressorList::Add(std::unique_ptr<TZRNGraphicCompressor> compressor) {
  Items.push_back(std::move(compressor));
}

TZRNGraphicCompressor* TZRNGraphicCompressorList::Find(const std::string& name) {
  for (auto& c : Items)
    if (SameText(c->GetName(), name)) return c.get();
  return nullptr;
}

TZRNGraphicFormatList& GraphicFormats() { return Registries().Formats; }
TZRNGraphicCompressorList& GraphicCompressors() { return Registries().Compressors; }

void RegisterImporter(TZRNGraphicImporter* importer) { importer->RegisterFormats(GraphicFormats()); }

void RegisterCompressor(std::unique_ptr<TZRNGraphicCompressor> compressor) {
  GraphicCompressors().Add(std::move(compressor));
}

bool FindImporter(const std::string& fileName, TZRNGraphicImporter*& importer) {
  const std::string ext = ExtractFileExt(fileName);
  for (const TZRNGraphicFormat& f : GraphicFormats().Entries) {
    if (SameText(f.Extension, ext)) {
      importer = f.Importer;
      return true;
    }
  }
  importer = nullptr;
  return false;
}

bool FindCompressor(const std::string& name, TZRNGraphicCompressor*& compressor) {
  compressor = GraphicCompressors().Find(name);
  return compressor != nullptr;
}

// ---- Texture ----

TZRNTexture::TZRNTexture() : Settings(std::make_unique<TZRNTextureSettings>()) {}

TZRNTexture::~TZRNTexture() { std::free(Data); }

void TZRNTexture::SetSize(int32_t width, int32_t height, TZRNPixelFormat format) {
  const int64_t bytes = PixelBytes(width, height, format);
  ZRN_ASSERT(bytes >= 0 && bytes <= INT32_MAX, "Texture size out of range", "zrnTexture");
  const int32_t newSize = static_cast<int32_t>(bytes);
  if (newSize != Size || (newSize > 0 && !Data)) {
    if (newSize == 0) {
      std::free(Data);
      Data = nullptr;
    } else {
      void* resized = std::realloc(Data, static_cast<size_t>(newSize));
      if (!resized) throw std::bad_alloc();
      Data = static_cast<uint8_t*>(resized);
    }
    Size = newSize;
  }
  Width = width;
  Height = height;
  Format = format;
}

void TZRNTexture::LoadFromFile(const std::string& fileName, TZRNTextureLoadOptions options) {
  TZRNFileStream stream(fileName, TZRNFileMode::Read);
  LoadFromStream(fileName, stream, options);
}

void TZRNTexture::LoadFromStream(const std::string& fileName, TZRNStream& stream, TZRNTextureLoadOptions options) {
  Name = ExtractFileName(fileName);
  TZRNGraphicImporter* importer = nullptr;
  if (!FindImporter(fileName, importer)) {
    throw EZRNError(::Format("Could not find a graphic importer for %s", fileName.c_str()));
  }
  TZRNTextureData data;
  importer->LoadTexture(stream, fileName, data);
  SetSize(0, 0, pfNone);
  Width = data.Width;
  Height = data.Height;
  Format = data.Format;
  Size = data.Size;
  Data = data.Data;
  if (options & loBuild) Build();
}

void TZRNTexture::SaveToStream(TZRNStream& stream) {
  stream.WriteBuffer(TextureMagic, sizeof(TextureMagic));
  stream.WriteValue(TextureVersion);
  WriteString(stream, Name);
  stream.WriteValue(Width);
  stream.WriteValue(Height);
  stream.WriteValue(static_cast<uint8_t>(Format));
  stream.WriteValue(Size);
  stream.WriteValue(static_cast<uint8_t>(Settings->Mipmaps ? 1 : 0));
  stream.WriteValue(static_cast<uint8_t>(Settings->WrapS));
  stream.WriteValue(static_cast<uint8_t>(Settings->WrapT));
  stream.WriteValue(static_cast<uint8_t>(Settings->MinFilter));
  stream.WriteValue(static_cast<uint8_t>(Settings->MagFilter));
  if (Compressor) {
    WriteString(stream, Compressor->GetName());
    TZRNTextureData data;
    data.Width = Width;
    data.Height = Height;
    data.Format = Format;
    data.Size = Size;
    data.Data = Data;
    Compressor->Compress(stream, data);
  } else {
    WriteString(stream, "");
    stream.WriteBuffer(Data, Size);
  }
}

void TZRNTexture::LoadFromStream(TZRNStream& stream) {
  char magic[6] = {};
  int32_t version = 0;
  stream.Read(magic, sizeof(magic));
  stream.ReadValue(version);
  if (std::memcmp(magic, TextureMagic, sizeof(magic)) != 0) throw EZRNError("Not a valid Zarnith texture.");
  if (version != TextureVersion) {
    throw EZRNError(::Format("Texture version missmatch [File: %d Code: %d].", version, TextureVersion));
  }

  // The header goes through locals first so that a damaged one is refused before the texture
  // changes or anything is allocated from it. A short read keeps the field's current value.
  const std::string name = ReadString(stream);
  int32_t width = Width, height = Height, size = Size;
  uint8_t format = Format;
  stream.ReadValue(width);
  stream.ReadValue(height);
  stream.ReadValue(format);
  stream.ReadValue(size);
  uint8_t mipmaps = Settings->Mipmaps ? 1 : 0;
  uint8_t wrapS = Settings->WrapS, wrapT = Settings->WrapT;
  uint8_t minFilter = Settings->MinFilter, magFilter = Settings->MagFilter;
  stream.ReadValue(mipmaps);
  stream.ReadValue(wrapS);
  stream.ReadValue(wrapT);
  stream.ReadValue(minFilter);
  stream.ReadValue(magFilter);
  if (format > pfRGBA) throw EZRNError(::Format("Invalid texture format %d.", format));
  if (mipmaps > 1 || wrapS > twClamp || wrapT > twClamp || minFilter > tfLinearMipmapLinear ||
      magFilter > tfLinearMipmapLinear) {
    throw EZRNError("Invalid texture settings.");
  }
  const std::string compressorName = ReadString(stream);
  if (compressorName.empty()) {
    if (width < 0 || height < 0 || size < 0 || size != PixelBytes(width, height, format)) {
      throw EZRNError(::Format("Invalid texture size [Width: %d Height: %d Size: %d].", width, height, size));
    }
    if (size > stream.Remaining()) throw EZRNStreamError("Stream read error");
  }

  Name = name;
  Width = width;
  Height = height;
  Format = static_cast<TZRNPixelFormat>(format);
  Settings->Mipmaps = mipmaps != 0;
  Settings->WrapS = static_cast<TZRNTextureWrap>(wrapS);
  Settings->WrapT = static_cast<TZRNTextureWrap>(wrapT);
  Settings->MinFilter = static_cast<TZRNTextureFilter>(minFilter);
  Settings->MagFilter = static_cast<TZRNTextureFilter>(magFilter);

  if (!compressorName.empty()) {
    std::free(Data);
    Data = nullptr;
    Size = size;
    FindCompressor(compressorName, Compressor);
    if (Compressor) {
      TZRNTextureData data;
      Compressor->Decompress(stream, data);
      Width = data.Width;
      Height = data.Height;
      Format = data.Format;
      Size = data.Size;
      Data = data.Data;
    }
  } else {
    // SetSize recomputes the same byte count that was checked above; the old block goes first
    // so that nothing stale survives.
    SetSize(0, 0, pfNone);
    SetSize(width, height, static_cast<TZRNPixelFormat>(format));
    stream.ReadBuffer(Data, Size);
  }
  Build();
}
