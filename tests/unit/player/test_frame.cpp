#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnInput.h"
#include "engine/device/zrnRecordingRenderer.h"
#include "engine/particles/zrnParticles.h"
#include "player/Demo.h"
#include "player/Playlist.h"
#include "player/Visualizer.h"
#include "tests/unit/player/FakeAudio.h"

namespace {
bool AssetsBuilt() {
  struct stat st {};
  return stat(SNV_BINARY_DIR "/pi.dat", &st) == 0 && stat(SNV_BINARY_DIR "/ff.dat", &st) == 0;
}

// The player's scene on a recording device at 800 x 600, as start-up builds it.
struct Frame : ::testing::Test {
  FakeAudio Audio;
  TDemo Demo{&Audio};
  TZRNRecordingRenderer* Rec = nullptr;
  int64_t Ticks = 0;

  void SetUp() override {
    if (!AssetsBuilt()) GTEST_SKIP() << "generated assets missing";
    Demo.ProgramDir = SNV_BINARY_DIR "/";
    Demo.Screen = TScreen::OfSize(800, 600);
    auto device = TZRNRecordingRenderer::MakeDevice(&Rec, 800, 600);
    Demo.Device = Owned<TZRNDevice>(device.release(), [](TZRNDevice* d) { delete d; });
    Demo.Playlist = MakeOwned<TPlaylist>();
    Demo.LoadScene();
    CreateVisualizer(Demo);
    Demo.Timer = MakeOwned<TZRNTimer>([this] { return Ticks += 16; }, 1000);
    Demo.SetVisualization(2);  // particles every frame
    Rec->Reset();
  }

  int Index(TZRNCallKind kind, size_t from = 0) const {
    for (size_t i = from; i < Rec->Calls.size(); ++i)
      if (Rec->Calls[i].Kind == kind) return static_cast<int>(i);
    return -1;
  }
};
}  // namespace

TEST_F(Frame, ClosedMenuLayersParticlesThenLinesUnderTheCamera) {
  Demo.Update();
  EXPECT_EQ(Demo.FrameCount, 1u);
  EXPECT_EQ(Demo.Visualizer->VisFrame, 1u);
  EXPECT_GT(Demo.ParticleManager->Systems->Count, 0);
  Rec->Reset();
  Demo.Render();
  ASSERT_FALSE(Rec->Calls.empty());
  EXPECT_EQ(Rec->Calls.front().Kind, TZRNCallKind::Clear);
  EXPECT_EQ(Rec->Calls.back().Kind, TZRNCallKind::Flip);
  const int view = Index(TZRNCallKind::SetViewMatrix);
  const int particles = Index(TZRNCallKind::DrawPrimitives);
  ASSERT_GE(view, 0);
  ASSERT_GT(particles, view);
  EXPECT_EQ(Rec->Calls[static_cast<size_t>(particles)].Primitive, ptQuads);
  const int lines = Index(TZRNCallKind::DrawPrimitives, static_cast<size_t>(particles) + 1);
  ASSERT_GT(lines, particles) << "the canvas flush follows the particles";
  EXPECT_EQ(Index(TZRNCallKind::SetViewMatrix, static_cast<size_t>(view) + 1), -1)
      << "no screen-space pass without the menu";
}

TEST_F(Frame, OpenMenuFreezesThePictureAndDrawsOnTopInScreenSpace) {
  Demo.Update();
  const uint32_t visFrame = Demo.Visualizer->VisFrame;
  const int32_t systems = Demo.ParticleManager->Systems->Count;
  Demo.MenuPage = 1;
  Demo.MenuLatch = true;
  for (int i = 0; i < 5; ++i) Demo.Update();
  EXPECT_EQ(Demo.Visualizer->VisFrame, visFrame);
  EXPECT_EQ(Demo.ParticleManager->Systems->Count, systems);
  EXPECT_EQ(Demo.FrameCount, 6u);
  Rec->Reset();
  Demo.Render();
  const int firstView = Index(TZRNCallKind::SetViewMatrix);
  const int screenView = Index(TZRNCallKind::SetViewMatrix, static_cast<size_t>(firstView) + 1);
  ASSERT_GT(screenView, firstView);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Rec->Calls[static_cast<size_t>(screenView)].Matrix[i], IdentityMatrix[i]);
  EXPECT_GT(Index(TZRNCallKind::DrawPrimitives, static_cast<size_t>(screenView)), screenView)
      << "the menu is drawn after the identity view";
  EXPECT_EQ(Rec->Calls.back().Kind, TZRNCallKind::Flip);
}

TEST_F(Frame, TheEndOfATrackIsNoticedWithTheMenuOpen) {
  Demo.Playlist->PlayTrack = [this](int32_t i) { Demo.PlayTrack(i); };
  Demo.Playlist->AddTrack("/m/a.ogg", "");
  Demo.Playlist->AddTrack("/m/b.ogg", "");
  Demo.PlayTrack(0);
  Demo.MenuPage = 1;
  Demo.MenuLatch = true;
  Audio.Live = 0;  // the stream freed itself at its end
  Demo.Update();
  EXPECT_EQ(Demo.CurrentFile, "/m/b.ogg");
}
