#pragma once
// A line per capture for tests and benchmarks that check picture against sound: monotonic time
// in ns, the first stream frame of the captured window, the stream frame heard now and the
// output latency in microseconds behind it.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TAvProbe {
 public:
  // nullptr when the file cannot be opened for appending.
  static std::unique_ptr<TAvProbe> Open(const std::string& path);
  void Append(int64_t nowNs, int64_t windowFirst, int64_t heard, int64_t latencyUs);

 private:
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  explicit TAvProbe(std::FILE* file) : FFile(file) {}
  std::unique_ptr<std::FILE, TCloser> FFile;
};
