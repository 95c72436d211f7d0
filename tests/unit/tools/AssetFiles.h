#pragma once
// Loads the generated asset files through the engine, on a windowless recording device.
#include <memory>
#include <string>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnRecordingRenderer.h"

struct LoadedAssets {
  LoadedAssets() {
    Device = TZRNRecordingRenderer::MakeDevice(&Recorder);
    Gui = std::make_unique<TZRNImage>(Device.get());
    Gui->LoadFromFile(Path("pi.dat"));
    Particles = std::make_unique<TZRNImage>(Device.get());
    Particles->LoadFromFile(Path("pm.dat"));
    Font = std::make_unique<TZRNFont>(Device.get());
    Font->LoadFromFile(Path("ff.dat"));
  }

  static std::string Path(const std::string& file) { return std::string(SNV_BINARY_DIR) + "/" + file; }

  // Alpha of a texel of an image's texture (RGBA).
  static int Alpha(const TZRNImage& image, int x, int y) { return Texel(image, x, y)[3]; }
  static const uint8_t* Texel(const TZRNImage& image, int x, int y) {
    return image.Texture->Data + (static_cast<size_t>(y) * image.Texture->Width + x) * 4;
  }

  TZRNRecordingRenderer* Recorder = nullptr;
  std::unique_ptr<TZRNDevice> Device;
  std::unique_ptr<TZRNImage> Gui;
  std::unique_ptr<TZRNImage> Particles;
  std::unique_ptr<TZRNFont> Font;
};
