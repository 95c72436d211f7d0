// Writes the fuzzers' seed corpus, made with the engine's own writers: texture blocks (raw and
// through each compressor), image files and font files. Usage: make_fuzz_corpus OUT_DIR.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnFreeImage.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnRecordingRenderer.h"

namespace fs = std::filesystem;

namespace {

void Fill(TZRNTexture& t, int32_t w, int32_t h, TZRNPixelFormat f) {
  t.SetSize(w, h, f);
  for (int32_t i = 0; i < t.Size; ++i) t.Data[i] = static_cast<uint8_t>((i * 29 + 3) % 256);
}

void Write(const fs::path& path, const std::function<void(TZRNStream&)>& save) {
  TZRNFileStream out(path.string(), TZRNFileMode::Create);
  save(out);
}

TZRNGraphicCompressor* Named(const char* name) {
  TZRNGraphicCompressor* c = nullptr;
  FindCompressor(name, c);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  RegisterFreeImageCodecs();
  const fs::path root = argv[1];
  for (const char* d : {"texture", "image", "font"}) fs::create_directories(root / d);
  auto device = TZRNRecordingRenderer::MakeDevice(nullptr);

  const char* compressors[] = {"", "FreeImage.PNG", "FreeImage.JPEG", "FreeImage.BMP", "FreeImage.TGA"};
  const TZRNPixelFormat formats[] = {pfAlpha, pfLuminance, pfRGB, pfRGBA};
  int n = 0;
  for (const char* c : compressors) {
    for (TZRNPixelFormat f : formats) {
      if (std::string(c) == "FreeImage.JPEG" && f == pfRGBA) continue;  // JPEG has no alpha
      auto t = device->CreateTexture();
      t->Name = "seed";
      Fill(*t, 6, 4, f);
      t->Compressor = *c ? Named(c) : nullptr;
      Write(root / "texture" / ("block" + std::to_string(n++)), [&](TZRNStream& s) { t->SaveToStream(s); });
    }
  }

  n = 0;
  for (const char* c : {"", "FreeImage.PNG"}) {
    TZRNImage image(device.get());
    image.Name = "GUI";
    image.Width = 16;
    image.Height = 8;
    Fill(*image.Texture, 16, 8, pfRGBA);
    image.Texture->Compressor = *c ? Named(c) : nullptr;
    image.CreatePatterns(8, 4, true);
    image.Patterns.Add(MakePattern("Cursor1", 1, 1, 5, 5, 0, 0));
    Write(root / "image" / ("image" + std::to_string(n++)), [&](TZRNStream& s) { image.SaveToStream(s); });
  }

  n = 0;
  for (const char* c : {"FreeImage.PNG", "FreeImage.TGA"}) {
    TZRNFont font(device.get());
    font.Name = "Seed";
    font.Height = 12;
    Fill(*font.Texture, 32, 16, pfRGBA);
    for (int i = 0; i < 4; ++i) {
      TZRNCharacter ch{'A' + i, i * 8, 0, 7, 12, 0, 1, 8};
      font.Characters[font.Characters.Alloc(1)] = ch;
    }
    Write(root / "font" / ("font" + std::to_string(n++)), [&](TZRNStream& s) { font.SaveToStream(s, c); });
  }
  std::printf("corpus written to %s\n", root.c_str());
  return 0;
}
