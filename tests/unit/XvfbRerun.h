#pragma once
// Display tests of a test program run again under a fresh Xvfb when the process has no display.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Runs this test program under xvfb-run with the given filter; returns its output, status in status.
inline std::string RunSelfUnderXvfb(const std::string& filter, int& status, const std::string& screen = "1024x768x24") {
  // /proc/<pid>/exe must be resolved before the shell runs it.
  char self[4096] = {};
  status = -1;
  if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0) return "cannot find the test program";
  const std::string run = "xvfb-run -a -s '-screen 0 " + screen + " -noreset' '" + std::string(self) +
                          "' --gtest_filter='" + filter + "' 2>&1";
  std::string output;
  // Parallel xvfb-run -a calls can pick the same display number; the loser fails to start.
  for (int attempt = 0; attempt < 3; ++attempt) {
    FILE* pipe = popen(run.c_str(), "r");
    if (!pipe) return "cannot start xvfb-run";
    output.clear();
    char buf[512];
    while (std::fgets(buf, sizeof(buf), pipe)) output += buf;
    status = pclose(pipe);
    if (output.find("Xvfb failed to start") == std::string::npos) break;
    sleep(1 + attempt);
  }
  return output;
}

inline bool DisplayAvailable() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

// Without a display, runs the tests the filter names under Xvfb and expects them to pass, none
// skipped; with one, they run directly.
#define EXPECT_DISPLAY_TESTS_PASS(filter, ...)                              \
  do {                                                                      \
    if (DisplayAvailable()) GTEST_SKIP() << "the display tests run directly"; \
    int status_ = -1;                                                       \
    const std::string output_ = RunSelfUnderXvfb(filter, status_ __VA_OPT__(,) __VA_ARGS__); \
    EXPECT_EQ(status_, 0) << output_;                                       \
    EXPECT_NE(output_.find("[  PASSED  ]"), std::string::npos) << output_;  \
    EXPECT_EQ(output_.find("SKIPPED"), std::string::npos) << output_;       \
  } while (0)
