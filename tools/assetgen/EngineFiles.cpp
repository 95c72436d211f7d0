#include "tools/assetgen/EngineFiles.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnStreams.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnRecordingRenderer.h"

namespace assetgen {

namespace {

void CopyPixels(TZRNTexture& texture, const RgbaPicture& picture, const std::string& name) {
  texture.Name = name;
  texture.SetSize(picture.Width, picture.Height, pfRGBA);
  std::memcpy(texture.Data, picture.Pixels.data(), picture.Pixels.size());
}

// Writes beside the target and renames, so a failed run never leaves a half-written asset.
template <typename Writer>
void WriteAtomically(const std::string& path, Writer&& write) {
  std::string temporary = path + ".part";
  try {
    TZRNFileStream stream(temporary, TZRNFileMode::Create);
    write(stream);
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  std::filesystem::rename(temporary, path);
}

}  // namespace

std::vector<PatternSpec> PatternsOf(const Sheet& sheet) {
  std::vector<PatternSpec> patterns;
  for (const Placement& p : sheet.Placements) {
    patterns.push_back({p.Source->Name, p.X, p.Y, p.Source->Picture.Width, p.Source->Picture.Height,
                        p.Source->PivotX, p.Source->PivotY});
  }
  return patterns;
}

void WriteImageFile(const std::string& path, const std::string& imageName, const RgbaPicture& picture,
                    const std::vector<PatternSpec>& patterns, const TZRNTextureSettings& settings) {
  TZRNRecordingRenderer* recorder = nullptr;
  std::unique_ptr<TZRNDevice> device = TZRNRecordingRenderer::MakeDevice(&recorder);
  TZRNImage image(device.get());
  image.Name = imageName;
  image.Width = picture.Width;
  image.Height = picture.Height;
  image.Patterns.SetCapacity(static_cast<int32_t>(patterns.size()));
  for (const PatternSpec& p : patterns) {
    image.Patterns.Add(MakePattern(p.Name, p.X, p.Y, p.Width, p.Height, p.PivotX, p.PivotY));
  }
  CopyPixels(*image.Texture, picture, imageName);
  *image.Texture->Settings = settings;
  if (!FindCompressor("FreeImage.PNG", image.Texture->Compressor)) throw std::runtime_error("no PNG compressor");
  WriteAtomically(path, [&](TZRNStream& stream) { image.SaveToStream(stream); });
}

void WriteFontFile(const std::string& path, const FontAtlas& atlas) {
  TZRNRecordingRenderer* recorder = nullptr;
  std::unique_ptr<TZRNDevice> device = TZRNRecordingRenderer::MakeDevice(&recorder);
  TZRNFont font(device.get());
  font.Name = atlas.Name;
  font.Height = atlas.LineHeight;
  font.Metrics[0] = atlas.Ascender;
  font.Metrics[1] = atlas.Descender;
  font.Metrics[2] = atlas.PixelSize;
  for (const FontGlyph& g : atlas.Glyphs) {
    int32_t i = font.Characters.Alloc(1);
    font.Characters[i] = {g.Code, g.X, g.Y, g.Width, g.Height, g.XOffset, g.YOffset, g.XAdvance};
  }
  font.CharacterCount = font.Characters.Count;
  CopyPixels(*font.Texture, atlas.Picture, atlas.Name);
  WriteAtomically(path, [&](TZRNStream& stream) { font.SaveToStream(stream, "FreeImage.PNG"); });
}

}  // namespace assetgen
