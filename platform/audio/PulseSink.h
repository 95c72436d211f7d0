#pragma once
// Output through the desktop's sound server with its own client API (PulseAudio, or PipeWire's
// server for the same API), on the client library's own thread. Reports the stream's latency
// as the server times it, sink latency included, every few milliseconds and after each write.
#include <pulse/pulseaudio.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/audio/OutputSink.h"

class TAudioOutput;

class TPulseSink final : public IOutputSink {
 public:
  // nullptr (and the reason in `error`) when no server answers within about a second.
  static std::unique_ptr<TPulseSink> Open(TAudioOutput& output, int id, std::string& error);
  ~TPulseSink() override;
  TPulseSink(const TPulseSink&) = delete;
  TPulseSink& operator=(const TPulseSink&) = delete;

  bool Failed() const override { return FFailed.load(); }
  bool IsSoundServer() const override { return true; }
  // True once the server plays the stream (a server that just started may take a second).
  bool Playing() const { return FPlaying.load(); }

 private:
  TPulseSink(TAudioOutput& output, int id) : FOutput(output), FId(id) {}
  bool Connect(std::string& error);
  bool WaitUntilReady(std::string& error);
  void Fail();
  void PublishLatency();
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWrite(pa_stream* stream, size_t bytes, void* self);
  static void OnMoved(pa_stream* stream, void* self);
  static void OnLatencyUpdate(pa_stream* stream, void* self);
  static void OnTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);

  TAudioOutput& FOutput;
  const int FId;
  pa_threaded_mainloop* FLoop = nullptr;
  bool FLoopRunning = false;
  pa_context* FContext = nullptr;
  pa_stream* FStream = nullptr;
  pa_time_event* FTimer = nullptr;
  int FTicks = 0;
  std::atomic<bool> FFailed{false};
  std::atomic<bool> FPlaying{false};
};
