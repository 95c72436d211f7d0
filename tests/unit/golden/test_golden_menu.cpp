// Every menu page, in both languages and at two screen sizes, with the pointer sweeping over it:
// what the renderer receives must not change.
#include "tests/unit/golden/GoldenDigest.h"
#include "tests/unit/menu/MenuFixture.h"

namespace {

constexpr int RecordedFrames = 60;

using GoldenMenu = MenuFixture;

TEST_F(GoldenMenu, EveryPageDrawsAsRecorded) {
  struct Case {
    const char* Name;
    uint8_t Page;
    uint8_t Language;
    int32_t Width, Height;
    bool Playing;
  };
  const Case cases[] = {
      {"main-en-1024", 1, 0, 1024, 768, true},  {"main-ru-1024", 1, 1, 1024, 768, false},
      {"main-en-800", 1, 0, 800, 600, false},   {"help-en-1024", 2, 0, 1024, 768, false},
      {"help-ru-800", 2, 1, 800, 600, true},    {"playlist-en-1024", 3, 0, 1024, 768, true},
      {"playlist-ru-800", 3, 1, 800, 600, false},
  };
  TGoldenLines lines;
  for (const Case& c : cases) {
    Build(c.Width, c.Height);
    app->Language = c.Language;
    AddEntries(40);
    app->Playlist->CurrentIndex = 2;
    app->Playlist->SelectedIndex = 4;
    app->Playlist->TopIndex = 1;
    app->CurrentFile = "/music/t2.mp3";
    app->Volume = 7;
    app->Playing = c.Playing;
    app->MenuPage = c.Page;
    ResetRecording();
    TGoldenDigest digest;
    for (int frame = 0; frame < RecordedFrames; ++frame) {
      MoveMouse(frame * 37 % c.Width, frame * 53 % c.Height);
      rec->Reset();
      app->DrawMenu();
      digest.Add(*rec);
    }
    lines.Add(c.Name, RecordedFrames - 1, digest.Take());
  }
  lines.Check("menu.golden");
}

}  // namespace
