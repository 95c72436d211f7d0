// Start-up time: from exec to the first presented frame, under the current X display.
// Run under Xvfb (scripts/bench does). Target: at most 500 ms.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {
namespace fs = std::filesystem;

int64_t NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// A private copy of the program directory with its own runtime and config folders.
struct Sandbox {
  fs::path Root;
  Sandbox() {
    char tmpl[] = "/tmp/snv_startup_XXXXXX";
    Root = mkdtemp(tmpl);
    fs::create_directories(Root / "prog");
    fs::create_directories(Root / "run");
    fs::create_directories(Root / "cfg");
    for (const char* f : {"sonavarium", "pi.dat", "pm.dat", "ff.dat", "demo.ogg"})
      fs::copy_file(fs::path(SNV_BINARY_DIR) / f, Root / "prog" / f);
  }
  ~Sandbox() { fs::remove_all(Root); }
};

double StartOnce(const Sandbox& box) {
  const std::string probe = (box.Root / "probe").string();
  fs::remove(probe);
  std::vector<std::string> env{"SONAVARIUM_STARTUP_PROBE=" + probe, "XDG_RUNTIME_DIR=" + (box.Root / "run").string(),
                               "XDG_CONFIG_HOME=" + (box.Root / "cfg").string(), "SDL_AUDIODRIVER=dummy"};
  for (const char* keep : {"DISPLAY", "XAUTHORITY", "HOME", "PATH"})
    if (const char* v = std::getenv(keep)) env.push_back(std::string(keep) + "=" + v);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = (box.Root / "prog" / "sonavarium").string();
  std::string track = (box.Root / "prog" / "demo.ogg").string();
  char* argv[] = {program.data(), track.data(), nullptr};
  pid_t pid = 0;
  const int64_t start = NowNs();
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  double ms = -1;
  for (int i = 0; i < 3000; ++i) {
    std::ifstream in(probe);
    long long stamp = 0;
    if (in >> stamp) {
      ms = static_cast<double>(stamp - start) / 1e6;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return ms;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X display: run under xvfb-run");
    return;
  }
  Sandbox box;
  std::vector<double> times;
  for (auto _ : state) {
    const double ms = StartOnce(box);
    if (ms < 0) {
      state.SkipWithError("the player did not present a frame");
      return;
    }
    times.push_back(ms);
    state.SetIterationTime(ms / 1000.0);
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = times[times.size() / 2];
  state.counters["target_ms"] = 500;
}
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
