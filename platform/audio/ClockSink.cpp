#include "platform/audio/ClockSink.h"

#include <algorithm>
#include <chrono>

#include "platform/audio/AudioOutput.h"

namespace {
constexpr int64_t kChunkFrames = 256;
constexpr auto kTick = std::chrono::milliseconds(5);
constexpr int64_t kNsPerSecond = 1000000000;
}  // namespace

TClockSink::TClockSink(TAudioOutput& output, int id)
    : FOutput(output), FId(id), FScratch(static_cast<size_t>(kChunkFrames * output.Channels())) {
  FThread = std::thread([this] { Run(); });
}

TClockSink::~TClockSink() {
  FQuit.store(true);
  FThread.join();
}

void TClockSink::Run() {
  const int64_t startNs = FOutput.NowNs();
  const int64_t firstFrame = FOutput.Written();
  const int64_t ahead = FOutput.Rate() / 100;  // so the heard frame never waits on a tick
  int64_t rendered = 0;
  while (!FQuit.load()) {
    int64_t now = FOutput.NowNs();
    int64_t due = (now - startNs) * FOutput.Rate() / kNsPerSecond;
    while (rendered < due + ahead) {
      int64_t n = std::min(kChunkFrames, due + ahead - rendered);
      FOutput.Render(FId, FScratch.data(), static_cast<int>(n));
      rendered += n;
    }
    FOutput.Report(FId, TOutputTiming{firstFrame + due, now});
    std::this_thread::sleep_for(kTick);
  }
}
