// What the desktop ties cost a frame (goal: a poll never takes more than 1 ms, whatever clients
// do), and how long a hand-off takes from the sender's side. The bus figures need a session bus:
// scripts/bench runs this under dbus-run-session.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/HandOff.h"
#include "platform/Mpris.h"

namespace {

using namespace std::chrono_literals;

struct TScratch {
  std::string Dir;
  TScratch() {
    char pattern[] = "/tmp/snv_bench_desktop_XXXXXX";
    Dir = mkdtemp(pattern);
  }
  ~TScratch() { std::filesystem::remove_all(Dir); }
};

int Connect(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void BM_HandOffPollIdle(benchmark::State& state) {
  TScratch scratch;
  std::string error;
  auto server = THandOffServer::Listen(scratch.Dir + "/s.sock", error);
  for (auto _ : state) benchmark::DoNotOptimize(server->Poll());
}
BENCHMARK(BM_HandOffPollIdle);

// 100 clients that connect and never write, a new one every poll.
void BM_HandOffPollSilentCrowd(benchmark::State& state) {
  TScratch scratch;
  const std::string path = scratch.Dir + "/s.sock";
  std::string error;
  auto server = THandOffServer::Listen(path, error);
  std::vector<int> crowd;
  for (int i = 0; i < 100; ++i) crowd.push_back(Connect(path));
  for (auto _ : state) {
    state.PauseTiming();
    close(crowd.front());
    crowd.erase(crowd.begin());
    crowd.push_back(Connect(path));
    state.ResumeTiming();
    benchmark::DoNotOptimize(server->Poll());
  }
  for (int fd : crowd) close(fd);
}
BENCHMARK(BM_HandOffPollSilentCrowd);

// A client pouring garbage as fast as it can: each poll reads at most its budget.
void BM_HandOffPollFlood(benchmark::State& state) {
  TScratch scratch;
  const std::string path = scratch.Dir + "/s.sock";
  std::string error;
  auto server = THandOffServer::Listen(path, error);
  std::atomic<bool> stop{false};
  std::thread flooder([&] {
    const std::string junk(64 * 1024, 'x');
    while (!stop) {
      const int fd = Connect(path);
      while (!stop && fd >= 0 && send(fd, junk.data(), junk.size(), MSG_NOSIGNAL) > 0) {
      }
      if (fd >= 0) close(fd);
    }
  });
  for (auto _ : state) benchmark::DoNotOptimize(server->Poll());
  stop = true;
  server.reset();
  flooder.join();
}
BENCHMARK(BM_HandOffPollFlood);

// The sender's wait, with the running copy polling once per 16 ms frame.
void BM_HandOffRoundTrip(benchmark::State& state) {
  TScratch scratch;
  const std::string path = scratch.Dir + "/s.sock";
  std::string error;
  auto server = THandOffServer::Listen(path, error);
  std::atomic<bool> stop{false};
  std::thread player([&] {
    while (!stop) {
      server->Poll();
      std::this_thread::sleep_for(16ms);
    }
  });
  const std::vector<std::string> files = {"/home/listener/Music/a.mp3", "/home/listener/Music/b.ogg"};
  for (auto _ : state) {
    if (!SendToRunningCopy(path, files, 5s).empty()) state.SkipWithError("hand-off failed");
  }
  stop = true;
  player.join();
}
BENCHMARK(BM_HandOffRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

class TStillPlayer : public IMprisPlayer {
 public:
  TMprisState State() override {
    TMprisState state;
    state.Status = TMprisStatus::Playing;
    state.CanPlay = state.CanPause = state.CanSeek = true;
    state.Track = {"/org/sonavarium/track/1", "file:///m/a.ogg", "a", {}, "", 180000000};
    return state;
  }
  int64_t PositionUs() override { return 1000; }
  void Raise() override {}
  void Quit() override {}
  void Play() override {}
  void Pause() override {}
  void PlayPause() override {}
  void Stop() override {}
  void Next() override {}
  void Previous() override {}
  void SetPositionUs(int64_t) override {}
  void SetVolume(double) override {}
  void SetShuffle(bool) override {}
  bool OpenPath(const std::string&) override { return false; }
};

void MprisPoll(benchmark::State& state, bool busy) {
  TStillPlayer player;
  std::string error;
  auto service = TMprisService::Connect(player, error);
  if (!service) {
    state.SkipWithError(("no session bus: " + error).c_str());
    return;
  }
  std::atomic<bool> stop{false};
  std::thread client;
  if (busy) {
    // A client asking for the metadata without pause.
    client = std::thread([&] {
      sd_bus* bus = nullptr;
      if (sd_bus_open_user(&bus) < 0) return;
      while (!stop) {
        sd_bus_message* reply = nullptr;
        sd_bus_call_method(bus, TMprisService::BusName, "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                           "GetAll", nullptr, &reply, "s", "org.mpris.MediaPlayer2.Player");
        sd_bus_message_unref(reply);
      }
      sd_bus_flush_close_unref(bus);
    });
  }
  for (auto _ : state) {
    if (!service->Poll(error)) state.SkipWithError(error.c_str());
  }
  stop = true;
  if (busy) {
    // Answer the last call so the client can see the stop flag.
    for (int i = 0; i < 1000; ++i) service->Poll(error);
    client.join();
  }
}
void BM_MprisPollIdle(benchmark::State& state) { MprisPoll(state, false); }
void BM_MprisPollBusy(benchmark::State& state) { MprisPoll(state, true); }
BENCHMARK(BM_MprisPollIdle);
BENCHMARK(BM_MprisPollBusy);

}  // namespace

BENCHMARK_MAIN();
