#pragma once
// Work split across every core, with helper threads kept waiting between calls: starting a
// thread for every frame costs more than some of the work it would share.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TZRNCoreTeam {
 public:
  // One helper for each core beyond the caller's.
  TZRNCoreTeam();
  explicit TZRNCoreTeam(int32_t helpers);
  ~TZRNCoreTeam();
  TZRNCoreTeam(const TZRNCoreTeam&) = delete;
  TZRNCoreTeam& operator=(const TZRNCoreTeam&) = delete;

  int32_t Size() const { return static_cast<int32_t>(Helpers.size()) + 1; }
  // Calls work(part) for every part in [0, parts), part 0 on the calling thread and the rest on
  // helpers at the same time (parts is at most Size()), and returns when all have returned.
  void Run(int32_t parts, const std::function<void(int32_t part)>& work);

 private:
  void Help(const std::stop_token& stop, int32_t part);

  std::mutex Lock;
  std::condition_variable_any Wake;
  std::condition_variable Finished;
  const std::function<void(int32_t)>* Work = nullptr;
  uint64_t Round = 0;
  int32_t Parts = 0, Busy = 0;
  std::vector<std::jthread> Helpers;  // last, so that they stop before the rest goes
};
