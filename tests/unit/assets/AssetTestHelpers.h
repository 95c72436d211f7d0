#pragma once
// Shared fixtures: a device on the recording renderer and small pictures with known pixels.
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnRecordingRenderer.h"

struct TRecordingDevice {
  TZRNRecordingRenderer* Recorder = nullptr;
  std::unique_ptr<TZRNDevice> Device = TZRNRecordingRenderer::MakeDevice(&Recorder);
};

// Pixel bytes whose every value differs from its neighbours, so swapped or flipped rows show.
inline std::vector<uint8_t> PatternedPixels(int32_t width, int32_t height, int32_t bytesPerPixel) {
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * bytesPerPixel);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>((i * 37 + 11) % 251);
  return bytes;
}

inline void FillTexture(TZRNTexture& texture, int32_t width, int32_t height, TZRNPixelFormat format) {
  texture.SetSize(width, height, format);
  const auto pixels = PatternedPixels(width, height, PixelFormatBytes[format]);
  std::copy(pixels.begin(), pixels.end(), texture.Data);
}

inline std::vector<uint8_t> TexturePixels(const TZRNTexture& texture) {
  return std::vector<uint8_t>(texture.Data, texture.Data + texture.Size);
}

inline TZRNGraphicCompressor* Compressor(const std::string& name) {
  TZRNGraphicCompressor* c = nullptr;
  FindCompressor(name, c);
  return c;
}
