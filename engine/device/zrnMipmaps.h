#pragma once
// The mipmap chain of a picture, built on the CPU: a 2 x 2 box filter from level to level.
// Software OpenGL spends far longer building it with its own blit than this takes.
#include <cstdint>
#include <vector>

struct TZRNMipLevel {
  int32_t Width;
  int32_t Height;
  std::vector<uint8_t> Pixels;  // tightly packed rows
};

// Levels 1..n of a tightly packed picture (level 0 is the picture itself), down to 1 x 1.
std::vector<TZRNMipLevel> BuildMipmapChain(const uint8_t* pixels, int32_t width, int32_t height,
                                           int32_t bytesPerPixel);
