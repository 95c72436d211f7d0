#include "engine/assets/zrnFreeImage.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/zrnStreams.h"

namespace {

TZRNStream* AsStream(fi_handle handle) { return static_cast<TZRNStream*>(handle); }

// Results count whole items, as fread does: FreeImage's BMP and TGA code compares them with the
// item count it asked for, and a byte count there would break those formats.
unsigned DLL_CALLCONV StreamRead(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  if (size == 0) return 0;
  return static_cast<unsigned>(AsStream(handle)->Read(buffer, int64_t{size} * count) / size);
}

unsigned DLL_CALLCONV StreamWrite(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  if (size == 0) return 0;
  return static_cast<unsigned>(AsStream(handle)->Write(buffer, int64_t{size} * count) / size);
}

// Returns 0 on success, as fseek does: FreeImage's JPEG 2000 and PSD readers treat any other
// result as a failed seek, so returning the new position would break them. Targets outside the
// stream fail and leave the position alone.
int DLL_CALLCONV StreamSeek(fi_handle handle, long offset, int origin) {
  if (origin < 0 || origin > 2) return -1;
  TZRNStream* stream = AsStream(handle);
  const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? stream->Position() : stream->Size();
  // Nothing FreeImage writes seeks past the end, and its TGA reader trusts a seek past the end of
  // a truncated picture and then sizes a buffer from the negative remainder.
  if (base + offset < 0 || base + offset > stream->Size()) return -1;
  return stream->Seek(offset, static_cast<TZRNSeekOrigin>(origin)) == base + offset ? 0 : -1;
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

// Byte length of the JPEG file at the start of p (SOI to EOI), or -1. libjpeg reads ahead in
// large blocks, so the decoder alone would leave the stream past the end of the picture.
int64_t JpegLength(const uint8_t* p, size_t n) {
  if (n < 2 || p[0] != 0xFF || p[1] != 0xD8) return -1;
  size_t i = 2;
  while (i + 1 < n) {
    if (p[i] != 0xFF) return -1;
    const uint8_t marker = p[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    i += 2;
    if (marker == 0xD9) return static_cast<int64_t>(i);
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length field
    if (i + 2 > n) return -1;
    const size_t length = (static_cast<size_t>(p[i]) << 8) | p[i + 1];
    if (length < 2) return -1;
    i += length;
    if (marker == 0xDA) {
      // Entropy-coded data runs to the next marker other than a stuffed 0xFF or a restart.
      while (i + 1 < n && !(p[i] == 0xFF && p[i + 1] != 0x00 && p[i + 1] != 0xFF &&
                            !(p[i + 1] >= 0xD0 && p[i + 1] <= 0xD7))) {
        ++i;
      }
    }
  }
  return -1;
}

int64_t FindJpegEnd(TZRNStream& stream) {
  const int64_t start = stream.Position();
  std::vector<uint8_t> rest(static_cast<size_t>(stream.Remaining() > 0 ? stream.Remaining() : 0));
  stream.Read(rest.data(), static_cast<int64_t>(rest.size()));
  stream.Seek(start, soBeginning);
  const int64_t length = JpegLength(rest.data(), rest.size());
  return length < 0 ? -1 : start + length;
}

// The TGA decoder stops after the pixels; the 26-byte TGA 2.0 footer that the encoder wrote
// after them belongs to the picture too.
void SkipTgaFooter(TZRNStream& stream) {
  static const char signature[18] = {'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O',
                                     'N', '-', 'X', 'F', 'I', 'L', 'E', '.', '\0'};
  const int64_t here = stream.Position();
  uint8_t footer[26] = {};
  if (stream.Read(footer, sizeof(footer)) == 26 && std::memcmp(footer + 8, signature, sizeof(signature)) == 0) return;
  stream.Seek(here, soBeginning);
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
  // The payload has no length of its own, so the stream must end up exactly after the picture.
  const int64_t jpegEnd = ImageFormat == FIF_JPEG ? FindJpegEnd(stream) : -1;
  TBitmapPtr bitmap(FreeImage_LoadFromHandle(ImageFormat, &IO, &stream, 0));
  if (!bitmap) throw EZRNError("Texture loading failed.");
  if (jpegEnd >= 0) stream.Seek(jpegEnd, soBeginning);
  if (ImageFormat == FIF_TARGA) SkipTgaFooter(stream);
  CheckDecodedDimensions(bitmap.get());
  BitmapToTextureData(bitmap.get(), data);
}

void TZRNFreeImageCompressor::Compress(TZRNStream& stream, const TZRNTextureData& data) {
  TBitmapPtr bitmap(TextureDataToBitmap(data));
  if (!bitmap) throw EZRNError("Texture saving failed");
  // A format that cannot hold the picture (JPEG with alpha) would otherwise leave a block that
  // cannot be read back.
  if (!FreeImage_SaveToHandle(ImageFormat, bitmap.get(), &IO, &stream, 0)) throw EZRNError("Texture saving failed");
}

void RegisterFreeImageCodecs() {
  static const bool registered = [] {
    static TZRNFreeImageImporter importer;
    RegisterImporter(&importer);
    RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_PNG>());
    RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_JPEG>());
    RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_BMP>());
    RegisterCompressor(std::make_unique<TZRNFreeImageCompressor_TGA>());
    return true;
  }();
  (void)registered;
}
