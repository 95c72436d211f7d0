#include <cstdio>

#include "engine/assets/zrnImage.h"
#include "engine/particles/zrnParticles.h"

namespace {
void WriteLine(const char* prefix, const std::string& name) {
  std::fputs(prefix, stdout);
  std::fwrite(name.data(), 1, name.size(), stdout);
  std::fputc('\n', stdout);
}
}  // namespace

TZRNTexture* TZRNParticleManager::FindTexture(const std::string& name) const {
  if (!Images) {
    WriteLine("No manager or texture list ", name);
    return nullptr;
  }
  TZRNImage* image = Images->Find(name);  // falls back to an image named "NIL"
  if (!image) {
    WriteLine("Could not find texture: ", name);
    return nullptr;
  }
  return image->Texture.get();
}
