#pragma once
// The engine's picture in system memory; the renderer's subclass uploads and binds it.
#include <cstdint>
#include <memory>
#include <string>

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
  int32_t ID = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  TZRNPixelFormat Format = pfNone;
  int32_t Size = 0;
  uint8_t* Data = nullptr;
  std::unique_ptr<TZRNTextureSettings> Settings;
  TZRNGraphicCompressor* Compressor = nullptr;
};
