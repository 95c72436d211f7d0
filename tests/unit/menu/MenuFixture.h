#pragma once
// A player object without a window: recording renderer, a synthetic "GUI" image and font whose
// texture coordinates name what was drawn, so tests can read texts and button pieces back.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnEvents.h"
#include "engine/device/zrnInput.h"
#include "engine/device/zrnRecordingRenderer.h"
#include "player/KeyBindings.h"
#include "player/Main.h"
#include "player/Playlist.h"

// Every printable character but "!" (5) advances the pen by this much: n bytes are 10 n wide.
inline constexpr int32_t GlyphAdvance = 10;
inline constexpr int32_t FontLineHeight = 20;

// Rows of the synthetic "GUI" picture that hold the three button looks.
inline constexpr int32_t NormalRowY = 100, HoverRowY = 150, DownRowY = 200;

struct DrawnText {
  std::string Text;
  float X, Y;
  TColor4f Color;
};

struct DrawnQuad {
  float Left, Top, Right, Bottom;
  float U1, V1;
  TColor4f Color;
};

class MenuFixture : public ::testing::Test {
 protected:
  void SetUp() override { Build(800, 600); }

  // openGL: a real window through the OpenGL renderer (needs a display) instead of the recorder.
  void Build(int32_t width, int32_t height, bool openGL = false) {
    app.reset();
    app = std::make_unique<TDemo>();
    App = app.get();
    if (openGL) {
      rec = nullptr;
      app->Device = MakeOwned<TZRNDevice>();
      app->Device->Initialize("Menu", width, height, false);
    } else {
      auto device = TZRNRecordingRenderer::MakeDevice(&rec, width, height);
      app->Device = Owned<TZRNDevice>(device.release(), [](TZRNDevice* p) { delete p; });
    }
    app->Input = MakeOwned<TZRNInput>();
    BindHotKeys(*app->Input->Keyboard);
    app->Playlist = MakeOwned<TPlaylist>();
    app->Playlist->PlayTrack = [this](int32_t index) { app->PlayTrack(index); };
    app->Playlist->OnCleared = [this] { app->PressedRow = -1; };
    MakeGuiImage();
    MakeAnimations();
    MakeFont();
    app->TextColor = clrGray;
    app->HighlightColor = clrWhite;
    app->SelectionColor = clrSkyBlue;
    app->FrameCount = 1000;
    app->LastKeyFrame = 0;
    Visualization = 0;
    Language = 0;
    ScaleX = width / 800.0f;
    ScaleY = height / 600.0f;
    ResetRecording();
  }

  // Forgets the calls so far; the device keeps its bound texture, so remember which it is.
  void ResetRecording() {
    if (rec) rec->Reset();
    boundAtReset = app->Device->Textures[0];
  }

  void TearDown() override {
    if (App == app.get()) App = nullptr;
  }

  // The image and font the build generates, with the animations made as at start-up. False when
  // the build has not written them.
  bool UseShippedAssets() {
    const std::string dir = std::string(SNV_BINARY_DIR) + "/";
    if (!std::filesystem::exists(dir + "pi.dat") || !std::filesystem::exists(dir + "ff.dat")) return false;
    app->Images = MakeOwned<TZRNImageList>(app->Device.get());
    gui = app->Images->LoadImage(dir + "pi.dat");
    gui->Name = "GUI";
    MakeAnimations();
    app->Font = MakeOwned<TZRNFont>(app->Device.get());
    app->Font->LoadFromFile(dir + "ff.dat");
    ResetRecording();
    return true;
  }

  // ---- input ----
  void Key(int32_t code, bool down) {
    TZRNEvent e = MakeEvent(down ? ZRN_KEY_PRESSED : ZRN_KEY_RELEASED);
    e.Keyboard.Key = code;
    e.Keyboard.Shift = 0;
    app->Input->HandleEvent(e);
  }
  void MoveMouse(int32_t x, int32_t y) {
    TZRNEvent e = MakeEvent(ZRN_MOUSE_MOVED);
    e.Mouse = {x, y, 0, 0};
    app->Input->HandleEvent(e);
  }
  void MouseButton(bool down) {
    TZRNEvent e = MakeEvent(down ? ZRN_MOUSE_PRESSED : ZRN_MOUSE_RELEASED);
    e.Mouse = {app->Input->Mouse->X, app->Input->Mouse->Y, 0, 0};
    app->Input->HandleEvent(e);
  }
  void Wheel(int32_t position) {
    TZRNEvent e = MakeEvent(ZRN_MOUSE_WHEEL);
    e.Mouse = {0, 0, position, 0};
    app->Input->HandleEvent(e);
  }
  // What Update does around the handler: the handler, then the frame counter.
  void Frames(int n = 1) {
    for (int i = 0; i < n; ++i) {
      app->HandleHotKeys();
      ++app->FrameCount;
    }
  }

  // ---- playlist without files ----
  void AddEntries(int n) {
    for (int i = 0; i < n; ++i) app->Playlist->AddTrack("/music/t" + std::to_string(i) + ".mp3", "");
  }

  // ---- reading back what was drawn ----
  std::vector<DrawnText> Texts() const { return Decode().texts; }
  std::vector<DrawnQuad> GuiQuads() const { return Decode().quads; }
  bool Drew(const std::string& text) const {
    for (const DrawnText& t : Texts())
      if (t.Text == text) return true;
    return false;
  }

  TZRNImage* gui = nullptr;
  TZRNRecordingRenderer* rec = nullptr;
  const TZRNTexture* boundAtReset = nullptr;
  std::unique_ptr<TDemo> app;

 private:
  struct Decoded {
    std::vector<DrawnText> texts;
    std::vector<DrawnQuad> quads;
  };

  Decoded Decode() const {
    Decoded out;
    const TZRNTexture* bound = boundAtReset;
    for (const TZRNRecordedCall& call : rec->Calls) {
      if (call.Kind == TZRNCallKind::SetTexture) bound = call.Texture;
      if (call.Kind != TZRNCallKind::DrawPrimitives) continue;
      if (bound == app->Font->Texture.get()) {
        DrawnText t{"", call.Vertices[0].Position.X, call.Vertices[0].Position.Y, call.Vertices[0].Color};
        for (size_t v = 0; v + 3 < call.Vertices.size(); v += 4)
          t.Text += static_cast<char>(static_cast<int>(call.Vertices[v].TexCoord.X * 256.0f + 0.5f));
        out.texts.push_back(t);
      } else if (bound == gui->Texture.get()) {
        for (size_t v = 0; v + 3 < call.Vertices.size(); v += 4) {
          const TVertex* q = &call.Vertices[v];
          out.quads.push_back({q[0].Position.X, q[0].Position.Y, q[2].Position.X, q[2].Position.Y, q[0].TexCoord.X,
                               q[0].TexCoord.Y, q[0].Color});
        }
      }
    }
    return out;
  }

  void MakeGuiImage() {
    app->Images = MakeOwned<TZRNImageList>(app->Device.get());
    gui = app->Images->Add();
    gui->Name = "GUI";
    gui->Width = 1000;
    gui->Height = 1000;
    for (int i = 1; i <= 4; ++i) {
      gui->Patterns.Add(MakePattern("Cursor" + std::to_string(i), 16 * i, 0, 16, 16, 0, 0));
      gui->Patterns.Add(MakePattern("Play" + std::to_string(i), 16 * i, 20, 16, 16, 8, 8));
    }
    // The logo hangs from its top-right corner.
    gui->Patterns.Add(MakePattern("LOGO", 500, 0, 240, 72, 240, 0));
    const char* looks[3] = {"BtnNormal", "BtnHover", "BtnDown"};
    const int32_t rows[3] = {NormalRowY, HoverRowY, DownRowY};
    for (int look = 0; look < 3; ++look) {
      gui->Patterns.Add(MakePattern(std::string(looks[look]) + "1", 0, rows[look], 32, 44, 0, 0));
      gui->Patterns.Add(MakePattern(std::string(looks[look]) + "2", 100, rows[look], 64, 44, 0, 0));
      gui->Patterns.Add(MakePattern(std::string(looks[look]) + "3", 200, rows[look], 32, 44, 0, 0));
    }
    gui->UpdateCoordinates();
  }

  void MakeAnimations() {
    auto looping = [this](const std::string& prefix) {
      auto set = MakeOwned<TZRNAnimationSet>();
      TZRNAnimation* a = set->Add("");
      a->Loop = true;
      for (int i = 1; i <= 4; ++i) a->Frames.AddFrame(prefix + std::to_string(i), gui, 0.0f);
      a->SetFrameRate(10);
      return set;
    };
    app->CursorAnimations = looping("Cursor");
    app->PlayAnimations = looping("Play");
    app->LogoAnimations = MakeOwned<TZRNAnimationSet>();
    app->LogoAnimations->Add("")->Frames.AddFrame("LOGO", gui, 0.0f);
    app->ButtonNormal = MakeOwned<TZRNAnimationSet>();
    app->ButtonHover = MakeOwned<TZRNAnimationSet>();
    app->ButtonDown = MakeOwned<TZRNAnimationSet>();
    for (int i = 1; i <= 3; ++i) {
      const std::string digit = std::to_string(i);
      app->ButtonNormal->Add(digit)->Frames.AddFrame("BtnNormal" + digit, gui, 0.0f);
      app->ButtonHover->Add(digit)->Frames.AddFrame("BtnHover" + digit, gui, 0.0f);
      app->ButtonDown->Add(digit)->Frames.AddFrame("BtnDown" + digit, gui, 0.0f);
    }
  }

  // Glyph i sits at u = i / 256, so a drawn quad names its byte.
  void MakeFont() {
    app->Font = MakeOwned<TZRNFont>(app->Device.get());
    TZRNFont& font = *app->Font;
    font.Height = FontLineHeight;
    font.Characters.SetCount(0);
    font.Coordinates.clear();
    for (int code = 32; code < 127; ++code) {
      TZRNCharacter c;
      c.ID = code;
      c.Width = 8;
      c.Height = 16;
      c.XAdvance = code == '!' ? 5 : GlyphAdvance;
      const int32_t index = font.Characters.Count;
      font.Characters.Alloc(1);
      font.Characters[index] = c;
      font.CharacterIndex[code] = index;
      font.Coordinates.push_back({code / 256.0f, (code + 1) / 256.0f, 0.0f, 1.0f, 0.0f, 8.0f, 0.0f, 16.0f});
    }
    font.CharacterCount = font.Characters.Count;
  }
};
