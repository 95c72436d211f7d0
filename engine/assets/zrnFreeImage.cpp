#include "engine/assets/zrnFreeImage.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/zrnStreams.h"

namespace {

TZRNStream* AsStream(fi_handle handle) { return static_cast<TZRNStream*>(handle); }

unsigned DLL_CALLCONV StreamRead(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(AsStream(handle)->Read(buffer, int64_t{size} * count));
}

unsigned DLL_CALLCONV StreamWrite(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(AsStream(handle)->Write(buffer, int64_t{size} * count));
}

int DLL_CALLCONV StreamSeek(fi_handle handle, long offset, int origin) {
  if (origin < 0 || origin > 2) return 0;
  return static_cast<int>(AsStream(handle)->Seek(offset, static_cast<TZRNSeekOrigin>(origin)));
}

long DLL_CALLCONV StreamTell(fi_handle handle) { return static_cast<long>(AsStream(handle)->Position()); }

const char* const ImporterExtensions[] = {
    ".bmp", ".cut", ".dds", ".exr", ".g3",   ".gif", ".hdr", ".ico",  ".iff", ".lbm",
    ".j2k", ".j2c", ".jng", ".jp2", ".jpg",  ".jif", ".jpeg", ".jpe", ".koa", ".pbm",
    ".pcd", ".pcx", ".pgm", ".png", ".ppm",  ".psd", ".ras", ".sgi",  ".tga", ".targa",
    ".tif", ".tiff", ".wap", ".wbmp", ".wbm", ".xbm", ".xpm",
};
static_assert(sizeof(ImporterExtensions) / sizeof(ImporterExtensions[0]) == 37);

struct TBitmapDeleter {
  void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
};
using TBitmapPtr = std::unique_ptr<FIBITMAP, TBitmapDeleter>;

void InitialiseFreeImage() {
  static const bool initialised = [] {
    FreeImage_Initialise(FALSE);
    return true;
  }();
  (void)initialised;
}

// Refuses pictures whose header states absurd dimensions before FreeImage allocates the pixels,
// where the plug-in can read headers alone. The stream is put back where it was.
bool HeaderDimensionsSane(FREE_IMAGE_FORMAT fif, FreeImageIO* io, TZRNStream& stream) {
  if (!FreeImage_FIFSupportsNoPixels(fif)) return true;
  const int64_t start = stream.Position();
  TBitmapPtr header(FreeImage_LoadFromHandle(fif, io, &stream, FIF_LOAD_NOPIXELS));
  stream.Seek(start, soBeginning);
  if (!header) return true;  // the full load reports the failure
  return TextureDimensionsSane(FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get()));
}

void CheckDecodedDimensions(FIBITMAP* bitmap) {
  const unsigned w = FreeImage_GetWidth(bitmap), h = FreeImage_GetHeight(bitmap);
  if (!TextureDimensionsSane(w, h)) throw EZRNError(Format("Picture too large [%u x %u].", w, h));
}

}  // namespace

FreeImageIO MakeStreamIO() {
  FreeImageIO io;
  io.read_proc = StreamRead;
  io.write_proc = StreamWrite;
  io.seek_proc = StreamSeek;
  io.tell_proc = StreamTell;
  return io;
}

void BitmapToTextureData(FIBITMAP* bitmap, TZRNTextureData& data) {
  data = TZRNTextureData();
  const int32_t width = static_cast<int32_t>(FreeImage_GetWidth(bitmap));
  const int32_t height = static_cast<int32_t>(FreeImage_GetHeight(bitmap));
  const unsigned pitch = FreeImage_GetPitch(bitmap);
  if (FreeImage_GetImageType(bitmap) != FIT_BITMAP) return;
  FreeImage_FlipVertical(bitmap);
  TZRNPixelFormat format;
  switch (FreeImage_GetBPP(bitmap)) {
    case 8: format = pfLuminance; break;
    case 24: format = pfRGB; break;
    case 32: format = pfRGBA; break;
    default: return;
  }
  if (!TextureDimensionsSane(width, height)) return;
  const int32_t bpp = PixelFormatBytes[format];
  const int32_t size = width * height * bpp;
  uint8_t* out = size > 0 ? static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size))) : nullptr;
  if (size > 0 && !out) throw std::bad_alloc();
  const uint8_t* bits = FreeImage_GetBits(bitmap);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = bits + static_cast<size_t>(y) * pitch;
    uint8_t* dst = out + static_cast<size_t>(y) * width * bpp;
    if (bpp == 1) {
      std::memcpy(dst, src, static_cast<size_t>(width));
    } else {
      for (int32_t x = 0; x < width; ++x, src += bpp, dst += bpp) {
        dst[0] = src[FI_RGBA_RED];
        dst[1] = src[FI_RGBA_GREEN];
        dst[2] = src[FI_RGBA_BLUE];
        if (bpp == 4) dst[3] = src[FI_RGBA_ALPHA];
      }
    }
  }
  data.Width = width;
  data.Height = height;
  data.Format = format;
  data.Size = size;
  data.Data = out;
}

FIBITMAP* TextureDataToBitmap(const TZRNTextureData& data) {
  const int32_t bpp = data.Format <= pfRGBA ? PixelFormatBytes[data.Format] : 0;
  if (bpp == 0 || !data.Data || data.Width <= 0 || data.Height <= 0) return nullptr;
  if (int64_t{data.Width} * data.Height * bpp > data.Size) return nullptr;
  FIBITMAP* bitmap = FreeImage_Allocate(data.Width, data.Height, bpp * 8, 0xFF0000, 0x00FF00, 0x0000FF);
  if (!bitmap) return nullptr;
  if (bpp == 1) {
    // A grey ramp, so that readers which honour the palette see the stored levels.
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < 256; ++i) {
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
      palette[i].rgbReserved = 0;
    }
  }
  const unsigned pitch = FreeImage_GetPitch(bitmap);
  uint8_t* bits = FreeImage_GetBits(bitmap);
  for (int32_t y = 0; y < data.Height; ++y) {
    const uint8_t* src = data.Data + static_cast<size_t>(y) * data.Width * bpp;
    uint8_t* dst = bits + static_cast<size_t>(y) * pitch;
    if (bpp == 1) {
      std::memcpy(dst, src, static_cast<size_t>(data.Width));
    } else {
      for (int32_t x = 0; x < data.Width; ++x, src += bpp, dst += bpp) {
        dst[FI_RGBA_RED] = src[0];
        dst[FI_RGBA_GREEN] = src[1];
        dst[FI_RGBA_BLUE] = src[2];
        if (bpp == 4) dst[FI_RGBA_ALPHA] = src[3];
      }
    }
  }
  FreeImage_FlipVertical(bitmap);
  return bitmap;
}

// ---- Importer ----

TZRNFreeImageImporter::TZRNFreeImageImporter() : IO(MakeStreamIO()) { InitialiseFreeImage(); }

void TZRNFreeImageImporter::RegisterFormats(TZRNGraphicFormatList& list) {
  for (const char* ext : ImporterExtensions) list.Add(ext, this);
}

void TZRNFreeImageImporter::LoadTexture(TZRNStream& stream, const std::string& fileName, TZRNTextureData& data) {
  data = TZRNTextureData();
  FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromHandle(&IO, &stream, 0);
  if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(fileName.c_str());
  if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif)) {
    throw EZRNError("Unknown or unsuported texture format:\r" + fileName);
  }
  stream.Seek(0, soBeginning);
  if (!HeaderDimensionsSane(fif, &IO, stream)) {
    throw EZRNError("Texture loading failed:\r" + fileName);
  }
  TBitmapPtr bitmap(FreeImage_LoadFromHandle(fif, &IO, &stream, 0));
  if (!bitmap) throw EZRNError("Texture loading failed:\r" + fileName);
  CheckDecodedDimensions(bitmap.get());
  BitmapToTextureData(bitmap.get(), data);
}

// ---- Compressors ----

TZRNFreeImageCompressor::TZRNFreeImageCompressor(FREE_IMAGE_FORMAT format, std::string name, std::string extension)
    : IO(MakeStreamIO()), ImageFormat(format), Name(std::move(name)), Extension(std::move(extension)) {
  InitialiseFreeImage();
}

void TZRNFreeImageCompressor::Decompress(TZRNStream& stream, TZRNTextureData& data) {
  data = TZRNTextureData();
  if (!HeaderDimensionsSane(ImageFormat, &IO, stream)) throw EZRNError("Texture loading failed.");
  TBitmapPtr bitmap(FreeImage_LoadFromHandle(ImageFormat, &IO, &stream, 0));
  if (!bitmap) throw EZRNError("Texture loading failed.");
  CheckDecodedDimensions(bitmap.get());
  BitmapToTextureData(bitmap.get(), data);
}

void TZRNFreeImageCompressor::Compress(TZRNStream& stream, const TZRNTextureData& data) {
  TBitmapPtr bitmap(TextureDataToBitmap(data));
  if (!bitmap) throw EZRNError("Texture saving failed");
  FreeImage_SaveToHandle(ImageFormat, bitmap.get(), &IO, &stream, 0);
}

void RegisterFreeImageCodecs() {
  static TZRNFreeImageImporter importer;
  RegisterImporter(&importer);
  RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_PNG>());
  RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_JPEG>());
  RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_BMP>());
  RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_TGA>());
}
