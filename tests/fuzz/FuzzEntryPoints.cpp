#include "FuzzEntryPoints.h"

#include <memory>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnFreeImage.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnRecordingRenderer.h"

namespace {

TZRNDevice& Device() {
  static std::unique_ptr<TZRNDevice> device = [] {
    RegisterFreeImageCodecs();
    return TZRNRecordingRenderer::MakeDevice(nullptr);
  }();
  return *device;
}

template <typename F>
void Guarded(F&& load) {
  try {
    load();
  } catch (const EZRNError&) {
  }
}

}  // namespace

void FuzzTextureBlock(const uint8_t* data, size_t size) {
  TZRNMemoryStream stream(data, size);
  auto texture = Device().CreateTexture();
  Guarded([&] { texture->LoadFromStream(stream); });
}

void FuzzImageFile(const uint8_t* data, size_t size) {
  TZRNMemoryStream stream(data, size);
  TZRNImage image(&Device());
  Guarded([&] {
    image.LoadFromStream(stream);
    // Whatever loaded must also draw: every pattern index is in range of Coordinates.
    for (int32_t i = -1; i < image.Patterns.Count; ++i) image.Draw(0.0f, 0.0f, i, clrWhite);
  });
}

void FuzzFontFile(const uint8_t* data, size_t size) {
  TZRNMemoryStream stream(data, size);
  TZRNFont font(&Device());
  Guarded([&] {
    font.LoadFromStream(stream);
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<char>(i);
    font.TextWidth(all);
    font.TextOut(10, 10, clrWhite, all);
  });
}
