#pragma once
// The screen the player draws on: its centre and its scale against the 800 x 600 layout the
// menu and the visualizations are drawn for.
#include <cstdint>

struct TScreen {
  uint16_t CenterX = 0;
  uint16_t CenterY = 0;
  float ScaleX = 1.0f;
  float ScaleY = 1.0f;

  static TScreen OfSize(int32_t width, int32_t height) {
    return {static_cast<uint16_t>(width / 2), static_cast<uint16_t>(height / 2), static_cast<float>(width) / 800.0f,
            static_cast<float>(height) / 600.0f};
  }
};
