// Placeholder until the texture code lands.
#include "engine/assets/zrnTexture.h"

#include <cstdlib>

const int32_t PixelFormatBytes[8] = {0, 1, 1, 1, 1, 1, 3, 4};

namespace {
int32_t NextTextureID = 1;
}

TZRNTexture::TZRNTexture() : ID(NextTextureID++), Settings(std::make_unique<TZRNTextureSettings>()) {}

TZRNTexture::~TZRNTexture() { std::free(Data); }
