#include "platform/audio/AudioOutput.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/audio/AudioFileStream.h"
#include "platform/audio/ClockSink.h"
#include "platform/audio/PulseSink.h"
#include "platform/audio/SdlSink.h"

namespace {
constexpr auto kSuperviseTick = std::chrono::milliseconds(100);
constexpr int64_t kRetryServerNs = 1000000000;
constexpr int64_t kWaitForServerNs = 3000000000;

// A user who names an SDL driver wants that driver; the sound server is ours to use otherwise.
bool SoundServerAllowed() {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (!driver || !*driver) return true;
  return std::strstr(driver, "pulse") != nullptr || std::strstr(driver, "pipewire") != nullptr;
}
}  // namespace

std::unique_ptr<TAudioOutput> TAudioOutput::Open(int rate, int channels, std::string& error) {
  std::unique_ptr<TAudioOutput> output(new TAudioOutput(rate, channels));
  output->FServerAllowed = SoundServerAllowed();
  std::string serverError;
  if (output->FServerAllowed) {
    int id = ++output->FLastId;
    output->FActive.store(id);
    if (std::unique_ptr<TPulseSink> server = TPulseSink::Open(*output, id, serverError)) {
      output->FSink = std::move(server);
      output->FOnServer.store(true);
    }
  }
  if (!output->FSink) {
    int id = ++output->FLastId;
    output->FActive.store(id);
    output->FSink = TSdlSink::Open(*output, id, error);
    if (!output->FSink) {
      if (!serverError.empty()) error = "sound server: " + serverError + "; device: " + error;
      return nullptr;
    }
  }
  if (output->FServerAllowed) output->FSupervisor = std::thread([o = output.get()] { o->Supervise(); });
  return output;
}

TAudioOutput::~TAudioOutput() {
  if (FSupervisor.joinable()) {
    {
      std::lock_guard<std::mutex> lock(FWakeMutex);
      FQuit = true;
    }
    FWake.notify_one();
    FSupervisor.join();
  }
  FSink.reset();
}

// The list is rebuilt outside the lock and swapped in under it, so that neither rendering nor
// the lock's holder allocates while the other waits.
void TAudioOutput::Attach(TAudioFileStream* stream) {
  std::vector<TAudioFileStream*> streams = FStreams;
  streams.push_back(stream);
  TLock lock(*this);
  FStreams.swap(streams);
}

void TAudioOutput::Detach(TAudioFileStream* stream) {
  std::vector<TAudioFileStream*> streams = FStreams;
  streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
  TLock lock(*this);
  FStreams.swap(streams);
}

int64_t TAudioOutput::Render(int id, float* out, int frames) {
  std::memset(out, 0, static_cast<size_t>(frames * FChannels) * sizeof(float));
  std::lock_guard<std::mutex> lock(FMixMutex);
  const int64_t start = FWritten.load();
  if (id != FActive.load()) return start;
  FSequence.fetch_add(1);
  const float master = FMaster.load();
  for (TAudioFileStream* stream : FStreams) stream->MixInto(out, frames, master, start);
  FWritten.store(start + frames);
  FSequence.fetch_add(1);
  return start;
}

void TAudioOutput::Report(int id, TOutputTiming timing) {
  std::lock_guard<std::mutex> lock(FMixMutex);
  if (id != FActive.load()) return;
  FSequence.fetch_add(1);
  FHeard.store(timing.HeardFrame);
  FHeardAtNs.store(timing.AtNs);
  FSequence.fetch_add(1);
}

void TAudioOutput::ReportLatency(int id, int64_t latencyUs, int64_t nowNs) {
  Report(id, TimingFromLatency(FWritten.load(), latencyUs, FRate, nowNs));
}

int64_t TAudioOutput::HeardFrameNow() const {
  return std::max(FHeardFloor.load(), HeardOutputFrame(TOutputTiming{FHeard.load(), FHeardAtNs.load()},
                                                       FClock.NowNs(), FRate, FWritten.load()));
}

int64_t TAudioOutput::LatencyUsNow() const {
  int64_t written = 0;
  int64_t heard = 0;
  Snapshot([&] {
    written = FWritten.load();
    heard = HeardFrameNow();
  });
  return LatencyUsOf(written, heard, FRate);
}

void TAudioOutput::SinkFailed() {
  {
    std::lock_guard<std::mutex> lock(FWakeMutex);
    FWakeRequested = true;
  }
  FWake.notify_one();
}

// A new sink's latency may reach back before the frame heard last on the old one; those frames
// went to the old sink and are not heard again, so the heard frame waits for them instead.
void TAudioOutput::SwitchTo(int id) {
  std::lock_guard<std::mutex> lock(FMixMutex);
  FSequence.fetch_add(1);
  FHeardFloor.store(HeardFrameNow());
  FActive.store(id);
  FSequence.fetch_add(1);
}

// The old sink goes only after the new one renders, so rendering never stops.
void TAudioOutput::Keep(std::unique_ptr<IOutputSink> sink) {
  FOnServer.store(sink->IsSoundServer());
  std::unique_ptr<IOutputSink> old = std::move(FSink);
  FSink = std::move(sink);
  old.reset();
}

// The clock goes on meanwhile: the position keeps moving while a restarted server gets going.
bool TAudioOutput::WaitUntilPlaying(const TPulseSink& server) {
  const int64_t deadline = NowNs() + kWaitForServerNs;
  while (!server.Playing()) {
    if (server.Failed() || NowNs() > deadline) return false;
    std::unique_lock<std::mutex> lock(FWakeMutex);
    if (FWake.wait_for(lock, std::chrono::milliseconds(20), [this] { return FQuit; })) return false;
  }
  return true;
}

void TAudioOutput::Supervise() {
  int64_t nextServerTry = NowNs() + kRetryServerNs;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(FWakeMutex);
      FWake.wait_for(lock, kSuperviseTick, [this] { return FWakeRequested || FQuit; });
      if (FQuit) return;
      FWakeRequested = false;
    }
    if (FSink->Failed()) {
      int id = ++FLastId;
      SwitchTo(id);  // before the clock starts, so that it counts on from the frames written
      Keep(std::make_unique<TClockSink>(*this, id));
      nextServerTry = NowNs() + kRetryServerNs;
    }
    if (!FSink->IsSoundServer() && NowNs() >= nextServerTry) {
      int id = ++FLastId;
      std::string error;
      std::unique_ptr<TPulseSink> server = TPulseSink::Open(*this, id, error);
      if (server && WaitUntilPlaying(*server)) {
        SwitchTo(id);
        Keep(std::move(server));
      }
      nextServerTry = NowNs() + kRetryServerNs;
    }
  }
}
