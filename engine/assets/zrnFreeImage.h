#pragma once
// Picture import and export through FreeImage, always through engine streams.
#include <FreeImage.h>

#include <string>

#include "engine/assets/zrnTexture.h"

// FreeImageIO whose handle is a TZRNStream*.
FreeImageIO MakeStreamIO();

class TZRNFreeImageImporter : public TZRNGraphicImporter {
 public:
  TZRNFreeImageImporter();
  void RegisterFormats(TZRNGraphicFormatList& list) override;
  // Detects the format from the contents, then from the file name; decodes from stream start.
  void LoadTexture(TZRNStream& stream, const std::string& fileName, TZRNTextureData& data) override;

 private:
  FreeImageIO IO;
};

class TZRNFreeImageCompressor : public TZRNGraphicCompressor {
 public:
  TZRNFreeImageCompressor(FREE_IMAGE_FORMAT format, std::string name, std::string extension);
  std::string GetName() override { return Name; }
  std::string GetExtension() override { return Extension; }
  // Decodes from the current stream position.
  void Decompress(TZRNStream& stream, TZRNTextureData& data) override;
  void Compress(TZRNStream& stream, const TZRNTextureData& data) override;

 private:
  FreeImageIO IO;
  FREE_IMAGE_FORMAT ImageFormat;
  std::string Name;
  std::string Extension;
};

class TZRNFreeImageCompressor_PNG : public TZRNFreeImageCompressor {
 public:
  TZRNFreeImageCompressor_PNG() : TZRNFreeImageCompressor(FIF_PNG, "FreeImage.PNG", ".png") {}
};
class TZRNFreeImageCompressor_JPEG : public TZRNFreeImageCompressor {
 public:
  TZRNFreeImageCompressor_JPEG() : TZRNFreeImageCompressor(FIF_JPEG, "FreeImage.JPEG", ".jpg") {}
};
class TZRNFreeImageCompressor_BMP : public TZRNFreeImageCompressor {
 public:
  TZRNFreeImageCompressor_BMP() : TZRNFreeImageCompressor(FIF_BMP, "FreeImage.BMP", ".bmp") {}
};
class TZRNFreeImageCompressor_TGA : public TZRNFreeImageCompressor {
 public:
  TZRNFreeImageCompressor_TGA() : TZRNFreeImageCompressor(FIF_TARGA, "FreeImage.TGA", ".tga") {}
};

// Bitmap -> tightly packed texture pixels, top row first. Unsupported types and depths leave
// data empty. The bitmap is flipped in place.
void BitmapToTextureData(FIBITMAP* bitmap, TZRNTextureData& data);
// nullptr for pfNone.
FIBITMAP* TextureDataToBitmap(const TZRNTextureData& data);

// Registers the importer (37 extensions) and the PNG, JPEG, BMP and TGA compressors, in this
// order. Programs call it at start-up, before loading any picture; later calls do nothing.
void RegisterFreeImageCodecs();
