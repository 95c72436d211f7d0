// Opens a window with the engine's OpenGL device and draws every piece of the generated assets the
// way the player's menu does, over a visualization-like background. Saves the picture, the same
// frame without the menu pieces, and a list of where each piece was drawn, for the screenshot test.
//   snv_assetpreview ASSET_DIR OUTPUT.png WORK_DIR
#include <epoxy/gl.h>
#include <FreeImage.h>
#include <iconv.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnFreeImage.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"

namespace {

constexpr int32_t ScreenWidth = 1024;
constexpr int32_t ScreenHeight = 768;
constexpr float ScaleX = ScreenWidth / 800.0f;
const TColor4f Shadow{0, 0, 0, 1};

struct Placed {
  std::string Name;
  int32_t X, Y, Width, Height;
};

// The menu's texts are Windows-1251 bytes; the source is UTF-8.
std::string ToCp1251(const std::string& utf8) {
  iconv_t cd = iconv_open("CP1251", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv lacks CP1251");
  std::string in = utf8, out(utf8.size(), '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("text not representable in CP1251: " + utf8);
  out.resize(out.size() - outLeft);
  return out;
}

int32_t RoundEven(float v) { return static_cast<int32_t>(std::nearbyint(v)); }

class Preview {
 public:
  Preview(TZRNDevice& device, const std::string& assetDir) : Device(device), Gui(&device), Font(&device), Canvas(&device) {
    Gui.LoadFromFile(assetDir + "/pi.dat");
    Font.LoadFromFile(assetDir + "/ff.dat");
  }

  // Spirals and a waveform in the visualizations' colours.
  void DrawBackground() {
    Canvas.Clear();
    const float cx = ScreenWidth / 2.0f, cy = ScreenHeight / 2.0f + 40;
    for (int pass = 1; pass <= 3; ++pass) {
      float radius = 0, angle = 0.4f * pass, px = 0, py = 0;
      for (int i = 0; i < 2048; ++i) {
        float amplitude = 8.0f + 3.0f * std::sin(i * 0.21f + pass);
        float x = std::cos(radius + angle) * radius * amplitude + cx;
        float y = std::sin(radius + angle) * radius * amplitude + cy;
        if (i == 0) px = x, py = y;
        Canvas.Pen->Color = {((i + 1) % 4) * 0.25f, ((i + 2) % 4) * 0.25f, ((i + 3) % 4) * 0.25f, pass * 0.3f};
        Canvas.Line(px, py, x, y);
        px = x, py = y;
        radius += 0.05f;
        if (x < 0 || x > ScreenWidth || y < 0 || y > ScreenHeight) break;
      }
    }
    for (int trace = -2; trace <= 2; ++trace) {
      float alpha = 1.0f - std::abs(trace) * 0.3f;
      Canvas.Pen->Color = {0.2f, 0.9f, 0.4f, alpha};
      float py = 0;
      for (int x = 0; x <= ScreenWidth; x += 4) {
        float y = 700 + trace * 5 + 30 * std::sin(x * 0.031f) * std::sin(x * 0.0071f + 1.0f);
        if (x > 0) Canvas.Line(float(x - 4), py, float(x), y);
        py = y;
      }
    }
    Device.SetRenderState(rsBlend, rvBlendAlpha);
    Canvas.Flush(true);
  }

  void DrawMenuPieces() {
    // The logo exactly where the menu puts it: pivot (top-right corner) at the screen's corner.
    Gui.Draw(ScreenWidth, 0, Pattern("LOGO"), clrWhite);
    Record("logo", ScreenWidth - 240, 0, 240, 72);

    struct Row {
      const char* Look;
      const char* Captions[3];
    };
    const Row rows[] = {{"BtnNormal", {"Exit", "PlayList", "Spiro-Spectr"}},
                        {"BtnHover", {"Music", "Oscilloscope", "Volume: 7"}},
                        {"BtnDown", {"Pause", "Osc-runner", "Pos-on: 42%"}}};
    for (int r = 0; r < 3; ++r) {
      int32_t x = 34;
      for (int s = 0; s < 3; ++s) {
        int32_t y = 26 + 62 * r;
        int32_t width = DrawButton(rows[r].Look, x, y, s, rows[r].Captions[s], r > 0);
        Record(std::string(rows[r].Look) + "_" + std::to_string(width), x, y, width, 44);
        x += width + 18;
      }
    }

    Label("english", "[Esc] - menu toggle   [Space] - play/pause", 34, 222, clrWhite);
    Label("russian", ToCp1251("Горячие Клавиши: [Пробел] - воспроизведение/пауза"), 34, 254, clrWhite);

    const char* tracks[] = {"01. Sonavarium Demo.ogg", "02. Звёздная пыль.mp3", "03. Northern Lights.wav",
                            "04. Ночной город.ogg"};
    for (int i = 0; i < 4; ++i) PlaylistRow(i, ToCp1251(tracks[i]), 24, 300 + 26 * i);

    // The four cursor frames at the player's scale, pointing at what they would light up.
    const int32_t cursorSpots[4][2] = {{300, 118}, {110, 172}, {250, 336}, {850, 44}};
    for (int i = 0; i < 4; ++i) {
      const TZRNPattern& p = Gui.Patterns[Pattern("Cursor" + std::to_string(i + 1))];
      float x = float(cursorSpots[i][0]), y = float(cursorSpots[i][1]);
      Gui.DrawTransformed(MatrixTranslateScale(x, y, ScaleX, ScaleX, 0), Pattern("Cursor" + std::to_string(i + 1)),
                          clrWhite, false);
      Record("cursor" + std::to_string(i + 1), int32_t(x - p.PivotX * ScaleX), int32_t(y - p.PivotY * ScaleX),
             int32_t(p.Width * ScaleX), int32_t(p.Height * ScaleX));
    }
  }

  void WriteManifest(const std::string& path) const {
    std::ofstream out(path);
    for (const Placed& p : Pieces) out << p.Name << ' ' << p.X << ' ' << p.Y << ' ' << p.Width << ' ' << p.Height << '\n';
  }

 private:
  int32_t Pattern(const std::string& name) const {
    int32_t i = Gui.Patterns.IndexOf(name);
    if (i < 0) throw std::runtime_error("pi.dat has no pattern " + name);
    return i;
  }

  void Record(const std::string& name, int32_t x, int32_t y, int32_t w, int32_t h) { Pieces.push_back({name, x, y, w, h}); }

  // Built as the menu builds it: left end, S + 1 middle pieces, right end; caption with shadows.
  int32_t DrawButton(const std::string& look, int32_t x, int32_t y, int32_t s, const std::string& caption, bool lit) {
    Gui.Draw(float(x), float(y), Pattern(look + "1"), clrWhite);
    for (int32_t k = 0; k <= s; ++k) Gui.Draw(float(x + 32 + 64 * k), float(y), Pattern(look + "2"), clrWhite);
    Gui.Draw(float(x + 32 + 64 * (s + 1)), float(y), Pattern(look + "3"), clrWhite);
    int32_t width = 128 + 64 * s;
    int32_t t = Font.TextWidth(caption), h = Font.TextHeight(caption);
    int32_t tx = RoundEven(x + width / 2.0f - t / 2.0f) - 2;
    int32_t ty = RoundEven(y + 22 - h / 2.0f) + 2;
    Font.TextOut(tx - 1, ty - 1, Shadow, caption);
    Font.TextOut(tx + 1, ty + 1, Shadow, caption);
    Font.TextOut(tx, ty, clrGray, caption);
    if (lit) Font.TextOut(tx + 1, ty + 1, clrWhite, caption);
    return width;
  }

  void Label(const std::string& name, const std::string& text, int32_t x, int32_t y, const TColor4f& colour) {
    int32_t h = Font.TextHeight(text);
    int32_t ty = RoundEven(y + 22 - h / 2.0f);
    Font.TextOut(x, ty - 2, Shadow, text);
    Font.TextOut(x + 4, ty + 2, Shadow, text);
    Font.TextOut(x + 2, ty, colour, text);
    Record(name, x + 2, ty, Font.TextWidth(text), h);
  }

  void PlaylistRow(int index, const std::string& text, int32_t x0, int32_t y) {
    int32_t h = Font.TextHeight(text);
    std::string mark = "Play" + std::to_string(index + 1);
    const TZRNPattern& p = Gui.Patterns[Pattern(mark)];
    int32_t mx = x0 + 36, my = y + (h + 2) / 2 - 1;
    Gui.Draw(float(mx), float(my), Pattern(mark), clrWhite);
    Record("play" + std::to_string(index + 1), mx - p.PivotX, my - p.PivotY, p.Width, p.Height);
    int32_t x = x0 + 58;
    int32_t ty = RoundEven(y + (h + 2) / 2.0f - h / 2.0f) + 2;
    Font.TextOut(x - 1, ty - 1, Shadow, text);
    Font.TextOut(x + 1, ty + 1, Shadow, text);
    Font.TextOut(x, ty, clrGray, text);
    const TColor4f& accent = index == 0 ? clrWhite : clrSkyBlue;
    if (index < 2) Font.TextOut(x + 1, ty + 1, accent, text);
    Record("track" + std::to_string(index + 1), x, ty, Font.TextWidth(text), h);
  }

  TZRNDevice& Device;
  TZRNImage Gui;
  TZRNFont Font;
  TZRNCanvas Canvas;
  std::vector<Placed> Pieces;
};

std::vector<uint8_t> ReadBackBuffer() {
  glFinish();
  std::vector<uint8_t> pixels(size_t(ScreenWidth) * ScreenHeight * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

bool SavePng(const std::vector<uint8_t>& bgra, const std::string& path) {
  // glReadPixels rows run bottom-up, as FreeImage's do.
  FIBITMAP* bitmap = FreeImage_ConvertFromRawBits(const_cast<uint8_t*>(bgra.data()), ScreenWidth, ScreenHeight,
                                                  ScreenWidth * 4, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                                  FI_RGBA_BLUE_MASK, FALSE);
  if (!bitmap) return false;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bitmap);
  bool saved = rgb && FreeImage_Save(FIF_PNG, rgb, path.c_str(), 0);
  if (rgb) FreeImage_Unload(rgb);
  FreeImage_Unload(bitmap);
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s ASSET_DIR OUTPUT.png WORK_DIR\n", argv[0]);
    return 2;
  }
  RegisterFreeImageCodecs();
  try {
    TZRNDevice device;
    device.Initialize("Sonavarium Assets", ScreenWidth, ScreenHeight, false);
    Preview preview(device, argv[1]);

    device.Clear();
    preview.DrawBackground();
    std::vector<uint8_t> background = ReadBackBuffer();

    device.Clear();
    preview.DrawBackground();
    preview.DrawMenuPieces();
    std::vector<uint8_t> full = ReadBackBuffer();
    device.Flip();

    std::string work = argv[3];
    if (!SavePng(full, argv[2]) || !SavePng(background, work + "/background.png")) {
      std::fprintf(stderr, "assetpreview: cannot save the pictures\n");
      return 1;
    }
    preview.WriteManifest(work + "/pieces.txt");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetpreview: %s\n", e.what());
    return 1;
  }
  return 0;
}
