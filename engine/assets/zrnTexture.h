#pragma once
// The engine's picture in system memory; the renderer's subclass uploads and binds it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/zrnClasses.h"

class TZRNStream;

enum TZRNPixelFormat : uint8_t { pfNone, pfAlpha, pfRed, pfGreen, pfBlue, pfLuminance, pfRGB, pfRGBA };

extern const int32_t PixelFormatBytes[8];

enum TZRNTextureFilter : uint8_t {
  tfNearest,
  tfLinear,
  tfNearestMipmapNearest,
  tfLinearMipmapNearest,
  tfNearestMipmapLinear,
  tfLinearMipmapLinear,
};

enum TZRNTextureWrap : uint8_t { twRepeat, twClamp };

struct TZRNTextureSettings {
  bool Mipmaps = false;
  TZRNTextureWrap WrapS = twClamp;
  TZRNTextureWrap WrapT = twClamp;
  TZRNTextureFilter MinFilter = tfLinearMipmapLinear;
  TZRNTextureFilter MagFilter = tfLinear;
};

// Exchanged between importers, compressors and textures. Data is malloc'ed; the receiver owns it.
struct TZRNTextureData {
  int32_t Width = 0;
  int32_t Height = 0;
  TZRNPixelFormat Format = pfNone;
  int32_t Size = 0;
  uint8_t* Data = nullptr;
};

class TZRNGraphicCompressor;
class TZRNGraphicFormatList;

// Decodes ordinary picture files (PNG, JPEG, ...) into texture pixels.
class TZRNGraphicImporter {
 public:
  virtual ~TZRNGraphicImporter() = default;
  virtual void RegisterFormats(TZRNGraphicFormatList& list) = 0;
  virtual void LoadTexture(TZRNStream& stream, const std::string& fileName, TZRNTextureData& data) = 0;
};

// Stores texture pixels as a picture inside texture blocks; must consume exactly what it wrote.
class TZRNGraphicCompressor {
 public:
  virtual ~TZRNGraphicCompressor() = default;
  virtual std::string GetName() = 0;
  virtual std::string GetExtension() = 0;
  virtual void Decompress(TZRNStream& stream, TZRNTextureData& data) = 0;
  virtual void Compress(TZRNStream& stream, const TZRNTextureData& data) = 0;
};

struct TZRNGraphicFormat {
  char Extension[9] = {};  // at most 8 characters, dot included
  TZRNGraphicImporter* Importer = nullptr;
};

// Extension -> importer; importers are not owned. The earlier of two equal entries wins.
class TZRNGraphicFormatList {
 public:
  void Add(const std::string& extension, TZRNGraphicImporter* importer);
  int32_t Count() const { return static_cast<int32_t>(Entries.size()); }
  std::vector<TZRNGraphicFormat> Entries;
};

// Owns its compressors.
class TZRNGraphicCompressorList {
 public:
  void Add(std::unique_ptr<TZRNGraphicCompressor> compressor);
  void Clear() { Items.clear(); }
  TZRNGraphicCompressor* Find(const std::string& name);
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  std::vector<std::unique_ptr<TZRNGraphicCompressor>> Items;
};

// The process-wide registries, empty until the program registers its codecs at start-up.
TZRNGraphicFormatList& GraphicFormats();
TZRNGraphicCompressorList& GraphicCompressors();

void RegisterImporter(TZRNGraphicImporter* importer);
void RegisterCompressor(std::unique_ptr<TZRNGraphicCompressor> compressor);
bool FindImporter(const std::string& fileName, TZRNGraphicImporter*& importer);
bool FindCompressor(const std::string& name, TZRNGraphicCompressor*& compressor);

// Shared file-name helpers: the extension (from the last dot after the last separator, dot
// included) and the name without directory.
std::string ExtractFileExt(const std::string& fileName);
std::string ExtractFileName(const std::string& fileName);
bool SameText(const std::string& a, const std::string& b);

// Largest picture any loader accepts; bigger dimensions in a file are taken as corruption.
inline constexpr int32_t MaxTextureDimension = 16384;
inline constexpr int64_t MaxTexturePixels = int64_t{1} << 24;  // 4096 x 4096
bool TextureDimensionsSane(int64_t width, int64_t height);

enum TZRNTextureLoadOption : uint8_t { loBuild = 1 };
using TZRNTextureLoadOptions = uint8_t;

class TZRNTexture {
 public:
  TZRNTexture();
  // Subclasses must call Unload() in their own destructor (virtual calls do not reach them here).
  virtual ~TZRNTexture();
  TZRNTexture(const TZRNTexture&) = delete;
  TZRNTexture& operator=(const TZRNTexture&) = delete;

  virtual void Build() = 0;
  virtual void Unload() = 0;
  virtual void Bind(int32_t unit) = 0;

  void SetSize(int32_t width, int32_t height, TZRNPixelFormat format);
  void LoadFromFile(const std::string& fileName, TZRNTextureLoadOptions options);
  void LoadFromStream(const std::string& fileName, TZRNStream& stream, TZRNTextureLoadOptions options);
  // The "ZRNTEX" block.
  void LoadFromStream(TZRNStream& stream);
  void SaveToStream(TZRNStream& stream);

  std::string Name;
  int32_t ID = 0;  // numbered by the device that made it, from 1 in creation order
  int32_t Width = 0;
  int32_t Height = 0;
  TZRNPixelFormat Format = pfNone;
  int32_t Size = 0;
  uint8_t* Data = nullptr;
  std::unique_ptr<TZRNTextureSettings> Settings;
  TZRNGraphicCompressor* Compressor = nullptr;
};
