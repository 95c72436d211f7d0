#include "platform/audio/PulseSink.h"

#include <pulse/rtclock.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/audio/AudioOutput.h"

namespace {
constexpr pa_usec_t kTargetLatencyUs = 20000;
constexpr pa_usec_t kRequestUs = 5000;        // how much the server asks for at a time
constexpr pa_usec_t kPublishEveryUs = 10000;  // latency reports between writes
constexpr int kTicksPerTimingUpdate = 25;     // fresh timing from the server every 250 ms
constexpr auto kReadyTimeout = std::chrono::milliseconds(1500);

class TLoopLock {
 public:
  explicit TLoopLock(pa_threaded_mainloop* loop) : FLoop(loop) { pa_threaded_mainloop_lock(FLoop); }
  ~TLoopLock() { pa_threaded_mainloop_unlock(FLoop); }
  TLoopLock(const TLoopLock&) = delete;
  TLoopLock& operator=(const TLoopLock&) = delete;

 private:
  pa_threaded_mainloop* FLoop;
};
}  // namespace

std::unique_ptr<TPulseSink> TPulseSink::Open(TAudioOutput& output, int id, std::string& error) {
  std::unique_ptr<TPulseSink> sink(new TPulseSink(output, id));
  if (!sink->Connect(error) || !sink->WaitUntilReady(error)) return nullptr;
  return sink;
}

bool TPulseSink::Connect(std::string& error) {
  FLoop = pa_threaded_mainloop_new();
  if (!FLoop) {
    error = "no main loop";
    return false;
  }
  TLoopLock lock(FLoop);
  FContext = pa_context_new(pa_threaded_mainloop_get_api(FLoop), "Sonavarium");
  if (!FContext) {
    error = "no context";
    return false;
  }
  pa_context_set_state_callback(FContext, &TPulseSink::OnContextState, this);
  // Never start a server of our own: no server means the next output.
  if (pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    error = pa_strerror(pa_context_errno(FContext));
    return false;
  }
  if (pa_threaded_mainloop_start(FLoop) < 0) {
    error = "main loop did not start";
    return false;
  }
  FLoopRunning = true;
  return true;
}

bool TPulseSink::WaitUntilReady(std::string& error) {
  const auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
  bool streamMade = false;
  for (;;) {
    {
      TLoopLock lock(FLoop);
      pa_context_state_t context = pa_context_get_state(FContext);
      if (!PA_CONTEXT_IS_GOOD(context)) {
        error = pa_strerror(pa_context_errno(FContext));
        return false;
      }
      if (context == PA_CONTEXT_READY && !streamMade) {
        pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(FOutput.Rate()),
                            static_cast<uint8_t>(FOutput.Channels())};
        FStream = pa_stream_new(FContext, "Playback", &spec, nullptr);
        if (!FStream) {
          error = pa_strerror(pa_context_errno(FContext));
          return false;
        }
        pa_stream_set_state_callback(FStream, &TPulseSink::OnStreamState, this);
        pa_stream_set_write_callback(FStream, &TPulseSink::OnWrite, this);
        pa_stream_set_moved_callback(FStream, &TPulseSink::OnMoved, this);
        pa_stream_set_latency_update_callback(FStream, &TPulseSink::OnLatencyUpdate, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetLatencyUs, &spec));
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(pa_usec_to_bytes(kRequestUs, &spec));
        attr.fragsize = static_cast<uint32_t>(-1);
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                    PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(FStream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
          error = pa_strerror(pa_context_errno(FContext));
          return false;
        }
        streamMade = true;
      }
      if (streamMade) {
        pa_stream_state_t state = pa_stream_get_state(FStream);
        if (!PA_STREAM_IS_GOOD(state)) {
          error = pa_strerror(pa_context_errno(FContext));
          return false;
        }
        if (state == PA_STREAM_READY) {
          FTimer = pa_context_rttime_new(FContext, pa_rtclock_now() + kPublishEveryUs, &TPulseSink::OnTimer, this);
          return true;
        }
      }
    }
    if (std::chrono::steady_clock::now() > deadline) {
      error = "the sound server did not answer";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

TPulseSink::~TPulseSink() {
  if (FLoopRunning) pa_threaded_mainloop_stop(FLoop);
  // The loop's thread has ended: nothing below races a callback.
  if (FTimer) pa_threaded_mainloop_get_api(FLoop)->time_free(FTimer);
  if (FStream) {
    pa_stream_set_state_callback(FStream, nullptr, nullptr);
    pa_stream_set_write_callback(FStream, nullptr, nullptr);
    pa_stream_set_moved_callback(FStream, nullptr, nullptr);
    pa_stream_set_latency_update_callback(FStream, nullptr, nullptr);
    pa_stream_disconnect(FStream);
    pa_stream_unref(FStream);
  }
  if (FContext) {
    pa_context_set_state_callback(FContext, nullptr, nullptr);
    pa_context_disconnect(FContext);
    pa_context_unref(FContext);
  }
  if (FLoop) pa_threaded_mainloop_free(FLoop);
}

void TPulseSink::Fail() {
  if (!FFailed.exchange(true)) FOutput.SinkFailed();
}

// Loop thread, under its lock, from here on.

// From the timing info itself rather than the library's interpolated latency, which after a
// server (re)start reads 0 for seconds: it keeps the stream's clock from running backwards
// across the sink's first, very large latency.
void TPulseSink::PublishLatency() {
  const pa_timing_info* timing = pa_stream_get_timing_info(FStream);
  if (!timing || timing->write_index_corrupt || timing->read_index_corrupt) return;  // none yet
  if (timing->playing) FPlaying.store(true);
  const pa_sample_spec* spec = pa_stream_get_sample_spec(FStream);
  auto usecOf = [spec](int64_t bytes) { return static_cast<int64_t>(pa_bytes_to_usec(bytes < 0 ? 0 : bytes, spec)); };
  // What had left the speaker when the server answered, moved on to now while it plays.
  int64_t playedUs = usecOf(timing->read_index) - static_cast<int64_t>(timing->sink_usec);
  if (timing->playing)
    playedUs += static_cast<int64_t>(timing->transport_usec) + static_cast<int64_t>(pa_timeval_age(&timing->timestamp));
  FOutput.ReportLatency(FId, usecOf(timing->write_index) - playedUs, FOutput.NowNs());
}

void TPulseSink::OnContextState(pa_context* context, void* self) {
  pa_context_state_t state = pa_context_get_state(context);
  if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) static_cast<TPulseSink*>(self)->Fail();
}

void TPulseSink::OnStreamState(pa_stream* stream, void* self) {
  pa_stream_state_t state = pa_stream_get_state(stream);
  if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) static_cast<TPulseSink*>(self)->Fail();
}

void TPulseSink::OnWrite(pa_stream* stream, size_t bytes, void* self) {
  auto* sink = static_cast<TPulseSink*>(self);
  const size_t frameBytes = sizeof(float) * static_cast<size_t>(sink->FOutput.Channels());
  while (bytes >= frameBytes) {
    void* data = nullptr;
    size_t size = bytes;
    if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) break;
    size_t frames = std::min(size, bytes) / frameBytes;
    if (frames == 0) {
      pa_stream_cancel_write(stream);
      break;
    }
    sink->FOutput.Render(sink->FId, static_cast<float*>(data), static_cast<int>(frames));
    if (pa_stream_write(stream, data, frames * frameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) break;
    bytes -= frames * frameBytes;
  }
  sink->PublishLatency();
}

// Another sink (the user chose other speakers): its latency is wanted now, not at the next update.
void TPulseSink::OnMoved(pa_stream* stream, void*) {
  if (pa_operation* op = pa_stream_update_timing_info(stream, nullptr, nullptr)) pa_operation_unref(op);
}

void TPulseSink::OnLatencyUpdate(pa_stream*, void* self) { static_cast<TPulseSink*>(self)->PublishLatency(); }

// Reports between writes keep the report fresh; a timing update now and then follows changes on
// the server's side (a latency offset, a sink that changes its latency) within a second, where
// automatic updates slow down to one every second and a half.
void TPulseSink::OnTimer(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self) {
  auto* sink = static_cast<TPulseSink*>(self);
  sink->PublishLatency();
  if (++sink->FTicks % kTicksPerTimingUpdate == 0) {
    if (pa_operation* op = pa_stream_update_timing_info(sink->FStream, nullptr, nullptr)) pa_operation_unref(op);
  }
  pa_context_rttime_restart(sink->FContext, event, pa_rtclock_now() + kPublishEveryUs);
}
