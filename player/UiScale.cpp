#include "player/UiScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

constexpr int32_t DesignWidth = 800;
constexpr int32_t DesignHeight = 600;
constexpr double LargestScale = 8.0;

std::optional<double> PositiveNumber(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(value) || value < 0.5) return std::nullopt;
  return value;
}

}  // namespace

std::string TUiScale::AssetFile(const std::string& stem) const {
  return AssetScale == 1 ? stem + ".dat" : stem + "@" + std::to_string(AssetScale) + "x.dat";
}

int32_t ChooseUiScaleFactor(const char* sonavariumScale, const char* gdkScale, float contentScale,
                            int32_t screenWidth, int32_t screenHeight) {
  std::optional<double> wanted = PositiveNumber(sonavariumScale);
  if (!wanted) wanted = PositiveNumber(gdkScale);
  if (!wanted && std::isfinite(contentScale) && contentScale >= 0.5f) wanted = contentScale;
  const double chosen = std::min(std::round(wanted.value_or(1.0)), LargestScale);
  const int32_t fits = std::max(1, std::min(screenWidth / DesignWidth, screenHeight / DesignHeight));
  return std::clamp(static_cast<int32_t>(chosen), 1, fits);
}

TUiScale MakeUiScale(int32_t factor) {
  TUiScale scale;
  scale.Factor = std::max(1, factor);
  scale.AssetScale = scale.Factor == 2 ? 2 : 1;
  return scale;
}
