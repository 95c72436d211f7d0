#pragma once
// Reads the tags of playlist entries on a thread of its own: TagLib opens and parses every file,
// which for thousands of files would hold up the frames for seconds. The frame collects what is
// ready with TakeResults.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/TrackTags.h"

class TTagWorker {
 public:
  struct TRequest {
    uint64_t Id;
    std::string Path;
  };
  struct TResult {
    uint64_t Id;
    TTrackTags Tags;
    std::string Title;  // TagTitle as the font draws it, at most 255 characters; empty: none
  };
  using TReader = std::function<TTrackTags(const std::string& path)>;

  explicit TTagWorker(TReader reader = [](const std::string& path) { return ReadTrackTags(path); });
  // Waits only for the file being read; requests not yet started are dropped.
  ~TTagWorker();
  TTagWorker(const TTagWorker&) = delete;
  TTagWorker& operator=(const TTagWorker&) = delete;

  // The thread starts with the first request.
  void Request(uint64_t id, std::string path);
  // Drops the requests not yet started and the results not yet taken.
  void Forget();
  // Results ready so far, oldest first; never waits for the reader.
  std::vector<TResult> TakeResults();
  // Blocks until every request so far has its result ready (for tests and benchmarks).
  void WaitIdle();

 private:
  void Run(std::stop_token stop);

  TReader Reader;
  std::mutex Mutex;
  std::condition_variable_any Wake;
  std::condition_variable_any Idle;
  std::deque<TRequest> Pending;
  std::vector<TResult> Ready;
  bool Busy = false;
  std::atomic<uint64_t> Generation = 0;  // counts Forget calls: what was requested before is dropped
  std::jthread Thread;      // last: stopped and joined before the members above go
};
