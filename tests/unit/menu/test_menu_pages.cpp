// The three menu pages as drawn by DrawMenu: captions, help lines, playlist rows and the cursor.
#include <algorithm>
#include <cctype>
#include <fstream>

#include "player/Strings.h"
#include "player/Visualizer.h"
#include "tests/unit/menu/MenuFixture.h"

namespace {

using MenuPages = MenuFixture;

std::vector<std::string> TextsInColor(const std::vector<DrawnText>& texts, const TColor4f& color) {
  std::vector<std::string> out;
  for (const DrawnText& t : texts)
    if (t.Color == color) out.push_back(t.Text);
  return out;
}

}  // namespace

TEST_F(MenuPages, MainPageCaptions) {
  app->MenuPage = 1;
  app->Volume = 10;
  app->DrawMenu();
  const std::vector<std::string> gray = TextsInColor(Texts(), clrGray);
  std::vector<std::string> expected = {"Exit", "Music", "Play", "?", "PlayList", "<", "Volume: F", ">",
                                       "<", "Pos-on: 0%", ">"};
  for (const TVisualizationRow& row : Visualizations) expected.push_back(row.Name);
  EXPECT_EQ(gray, expected);

  ResetRecording();
  app->Volume = 0;
  app->Playing = true;
  app->DrawMenu();
  EXPECT_TRUE(Drew("Volume: 0"));
  EXPECT_TRUE(Drew("Pause"));
  EXPECT_FALSE(Drew("Play"));
}

TEST_F(MenuPages, MainPageShowsTheCurrentFileOnItsOwnHalfRow) {
  app->MenuPage = 1;
  app->CurrentFile = "/music/song.mp3";
  app->DrawMenu();
  const std::vector<DrawnText> t = Texts();
  auto it = std::find_if(t.begin(), t.end(),
                         [](const DrawnText& d) { return d.Text == "/music/song.mp3" && d.Color == clrWhite; });
  ASSERT_NE(it, t.end());
  EXPECT_EQ(it->X, 36.0f);
}

TEST_F(MenuPages, HelpPageListsTheHotKeysThirtyPixelsApart) {
  app->MenuPage = 2;
  app->DrawMenu();
  const std::vector<DrawnText> t = Texts();
  EXPECT_FALSE(Drew("?")) << "no help button on the help page";
  EXPECT_TRUE(Drew("Back"));
  EXPECT_TRUE(Drew("   Hot Keys: "));
  std::vector<float> ys;
  for (const DrawnText& d : t)
    if (d.Color == clrWhite && d.Text.rfind("     [", 0) == 0) ys.push_back(d.Y);
  ASSERT_EQ(ys.size(), 11u);
  for (size_t i = 1; i < ys.size(); ++i) EXPECT_EQ(ys[i] - ys[i - 1], 30.0f);
  EXPECT_TRUE(Drew("     [Esc] - menu toggle"));
  EXPECT_TRUE(Drew("     [WinKey] - minimize"));
}

TEST_F(MenuPages, PlaylistPageRowsStopAtTheBottom) {
  AddEntries(30);
  app->MenuPage = 3;
  app->DrawMenu();
  // Buttons take rows 0 and 1; row k of the list lies at 62 + 43 k + 38 and needs 22 px more
  // above 582: ten rows.
  EXPECT_EQ(app->Playlist->VisibleRows, 10);
  EXPECT_TRUE(app->LayoutOverflow);
  EXPECT_TRUE(Drew("t9"));
  EXPECT_FALSE(Drew("t10"));
  EXPECT_TRUE(Drew("Randomize [ ]"));
  app->Playlist->Shuffle = true;
  ResetRecording();
  app->DrawMenu();
  EXPECT_TRUE(Drew("Randomize [*]"));
}

TEST_F(MenuPages, VisibleRowsKeepTheirLargestValue) {
  AddEntries(30);
  app->MenuPage = 3;
  app->Playlist->VisibleRows = 20;
  app->DrawMenu();
  EXPECT_EQ(app->Playlist->VisibleRows, 20);
}

TEST_F(MenuPages, ClickingARowSelectsThenPlays) {
  AddEntries(5);
  app->MenuPage = 3;
  // Row 0: x 42 .. 106, y 62 + 43 + 100 - 62 = 143 .. 165.
  MoveMouse(60, 150);
  MouseButton(true);
  app->DrawMenu();
  MouseButton(false);
  app->DrawMenu();
  EXPECT_EQ(app->Playlist->SelectedIndex, 0);
  EXPECT_EQ(app->Playlist->CurrentIndex, -1);
  MouseButton(true);
  app->DrawMenu();
  MouseButton(false);
  app->DrawMenu();
  EXPECT_EQ(app->Playlist->CurrentIndex, 0);
  EXPECT_EQ(app->CurrentFile, "/music/t0.mp3");
}

TEST_F(MenuPages, SelectionIsForgottenOffThePlaylistPage) {
  AddEntries(5);
  app->Playlist->SelectedIndex = 2;
  app->MenuPage = 1;
  app->DrawMenu();
  EXPECT_EQ(app->Playlist->SelectedIndex, -1);
}

TEST_F(MenuPages, ButtonsActOnRelease) {
  app->MenuPage = 1;
  // Row 0: "Exit" 34 .. 98, "Music" 116 .. 244, "Play" 262 .. 326, "?" 344 .. 408, then
  // "PlayList" from 426 (captions under 48 px make 64 px buttons).
  MoveMouse(360, 40);
  MouseButton(true);
  app->DrawMenu();
  EXPECT_EQ(app->MenuPage, 1);
  MouseButton(false);
  app->DrawMenu();
  EXPECT_EQ(app->MenuPage, 2);
}

TEST_F(MenuPages, CursorDrawnLastAtTheMouseScaled) {
  Build(1024, 768);
  app->MenuPage = 1;
  MoveMouse(100, 200);
  app->DrawMenu();
  const std::vector<DrawnQuad> q = GuiQuads();
  ASSERT_FALSE(q.empty());
  EXPECT_FLOAT_EQ(q.back().Left, 100.0f);
  EXPECT_FLOAT_EQ(q.back().Top, 200.0f);
  EXPECT_FLOAT_EQ(q.back().Right, 100.0f + 16.0f * 1.28f);
  EXPECT_FLOAT_EQ(q.back().Bottom, 200.0f + 16.0f * 1.28f);
}

TEST_F(MenuPages, RussianCaptionsComeFromTheTextTable) {
  app->Language = 1;
  app->MenuPage = 1;
  app->Volume = 4;
  app->DrawMenu();
  // The synthetic font has no Cyrillic glyphs, so only the value survives in the drawing; the
  // layout still measures the whole caption.
  EXPECT_TRUE(Drew(": 4")) << "Volume caption is Strings[1][7] followed by the value";
}

// The visualization table drives the menu's buttons and the readme's list: same names, same order,
// and each button selects its own row.
TEST_F(MenuPages, VisualizationButtonsAndReadmeFollowTheTable) {
  Build(1024, 768);
  std::vector<std::string> readme;
  std::ifstream file(std::string(SNV_SOURCE_DIR) + "/README.md");
  for (std::string line; std::getline(file, line);) {
    const size_t bar = line.find(" | ", 2);
    if (line.rfind("| ", 0) == 0 && bar != std::string::npos && std::isdigit(static_cast<unsigned char>(line[2])))
      readme.push_back(line.substr(bar + 3, line.find(" |", bar + 3) - bar - 3));
  }
  ASSERT_EQ(readme.size(), VisualizationCount);
  for (uint8_t i = 0; i < VisualizationCount; ++i) {
    EXPECT_EQ(readme[i], Visualizations[i].Name);
    app->MenuPage = mpMain;
    ResetRecording();
    app->DrawMenu();
    const std::vector<DrawnText> texts = Texts();
    const auto button = std::find_if(texts.begin(), texts.end(),
                                     [&](const DrawnText& t) { return t.Text == Visualizations[i].Name; });
    ASSERT_NE(button, texts.end()) << Visualizations[i].Name;
    MoveMouse(static_cast<int32_t>(button->X) + 2, static_cast<int32_t>(button->Y) + 4);
    MouseButton(true);
    app->DrawMenu();
    MouseButton(false);
    app->DrawMenu();
    EXPECT_EQ(app->Visualizer->Visualization, i) << Visualizations[i].Name;
    EXPECT_EQ(app->MenuPage, mpClosed);
  }
}
