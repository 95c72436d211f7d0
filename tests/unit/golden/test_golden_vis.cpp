// Every visualization for 500 frames on fixed samples: what the renderer receives must not change.
#include <cctype>

#include "tests/unit/golden/GoldenDigest.h"
#include "tests/unit/vis/VisFixture.h"

namespace {

constexpr int RecordedFrames = 500;
constexpr int FramesPerLine = 50;
constexpr float FrameTime = 1.0f / 60.0f;

// Two channels of fixed, frame-dependent samples whose loudness rises and falls.
std::vector<uint32_t> Samples(int frame) {
  std::vector<uint32_t> out(CaptureEntries);
  const int32_t loudness = 1 + (frame / 25) % 8;
  for (int32_t i = 0; i < static_cast<int32_t>(CaptureEntries); ++i) {
    const int32_t left = ((i * 73 + frame * 511) % 4096 - 2048) * loudness;
    const int32_t right = ((i * 131 + frame * 97) % 2000 - 1000) * 2 * loudness;
    out[static_cast<size_t>(i)] = Entry(left, right);
  }
  return out;
}

// "Chaos Pulse" -> "chaos-pulse": one word per recording in the digest file.
std::string Key(std::string name) {
  for (char& c : name) c = c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

using GoldenVis = VisTest;

TEST_F(GoldenVis, EveryVisualizationDrawsAsRecorded) {
  TGoldenLines lines;
  for (uint8_t vis = 0; vis < VisualizationCount; ++vis) {
    Build(1024, 768);
    Particles->Random.SeedRandomTable(7);
    Vis->Visualization = vis;
    TGoldenDigest digest;
    for (int frame = 0; frame < RecordedFrames; ++frame) {
      // Paused for a while, then without a file: the quiet branches are recorded too.
      Playing = frame < 420;
      HasFile = frame < 460;
      Stream = Samples(frame);
      Vis->Step();
      Particles->Update(FrameTime);
      Camera->Update(true, FrameTime);
      Recorder->Reset();
      Device->Clear();
      Device->SetViewMatrix(Camera->Matrix);
      Particles->Render();
      Canvas->Flush(false);
      Device->Flip();
      digest.Add(*Recorder);
      if ((frame + 1) % FramesPerLine == 0) lines.Add(Key(Visualizations[vis].Name), frame, digest.Take());
    }
  }
  lines.Check("visualizations.golden");
}

}  // namespace
