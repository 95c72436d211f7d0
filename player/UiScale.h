#pragma once
// The menu's scale on HiDPI screens: a whole number of screen pixels per design pixel, 1 on
// ordinary screens, where the menu is exactly what it always was.
#include <cstdint>
#include <string>

struct TUiScale {
  int32_t Factor = 1;      // layout, hit tests and canvas line width are multiplied by this
  int32_t AssetScale = 1;  // 2 when the double-resolution menu image and font are used

  // How much the loaded menu image and font are magnified when drawn.
  float DrawScale() const { return static_cast<float>(Factor) / static_cast<float>(AssetScale); }
  // "pi.dat" -> "pi@2x.dat" for the double-resolution set.
  std::string AssetFile(const std::string& stem) const;
};

// Precedence: SONAVARIUM_SCALE, then GDK_SCALE, then the monitor's content scale (which follows
// Xft.dpi on X11) rounded to the nearest integer. Values that are not positive numbers are
// skipped. The result never exceeds what lets the 800 x 600 menu fit on the screen.
int32_t ChooseUiScaleFactor(const char* sonavariumScale, const char* gdkScale, float contentScale,
                            int32_t screenWidth, int32_t screenHeight);

// The double-resolution set exists for factor 2; other factors magnify the ordinary set.
TUiScale MakeUiScale(int32_t factor);
