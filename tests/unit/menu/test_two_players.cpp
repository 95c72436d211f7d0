// Two players in one process keep their own language, screen and visualization.
#include "tests/unit/menu/MenuFixture.h"
#include "player/Visualizer.h"

namespace {

using TwoPlayers = MenuFixture;

TEST_F(TwoPlayers, ShareNoState) {
  Build(1024, 768);
  std::unique_ptr<TDemo> first = std::move(app);
  Build(800, 600);
  first->Language = 1;
  first->ProgramDir = "/opt/first/";
  first->SetVisualization(5);
  app->MenuPage = 1;
  app->SetVisualization(2);

  EXPECT_EQ(first->Visualizer->Visualization, 5);
  EXPECT_EQ(app->Visualizer->Visualization, 2);
  EXPECT_EQ(first->Screen.CenterX, 512);
  EXPECT_EQ(app->Screen.CenterX, 400);
  EXPECT_EQ(app->Language, 0);
  EXPECT_TRUE(app->ProgramDir.empty());
  // Each plays through an audio engine of its own.
  ASSERT_NE(first->Audio, nullptr);
  EXPECT_NE(first->Audio, app->Audio);
  app->MenuPage = 1;
  app->DrawMenu();
  EXPECT_TRUE(Drew("Exit")) << "the second player still speaks English";
}

}  // namespace
