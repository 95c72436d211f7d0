#include "player/TagWorker.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "platform/TextConvert.h"

namespace {
constexpr size_t MaxTitleCharacters = 255;
}

TTagWorker::TTagWorker(TReader reader) : Reader(std::move(reader)) {}

TTagWorker::~TTagWorker() {
  if (!Thread.joinable()) return;
  Thread.request_stop();
  Thread.join();
}

void TTagWorker::Request(uint64_t id, std::string path) {
  bool wake;
  {
    const std::lock_guard lock(Mutex);
    // A worker with requests in hand takes the new ones when it is done: no need to wake it for
    // each of thousands added in one frame.
    wake = Pending.empty();
    Pending.push_back({id, std::move(path)});
    if (!Thread.joinable()) Thread = std::jthread([this](std::stop_token stop) { Run(stop); });
  }
  if (wake) Wake.notify_one();
}

void TTagWorker::Forget() {
  const std::lock_guard lock(Mutex);
  Pending.clear();
  Ready.clear();
  ++Generation;
}

std::vector<TTagWorker::TResult> TTagWorker::TakeResults() {
  std::vector<TResult> taken;
  // The worker holds the lock only to move one request or result, never while it reads.
  const std::lock_guard lock(Mutex);
  taken.swap(Ready);
  return taken;
}

void TTagWorker::WaitIdle() {
  std::unique_lock lock(Mutex);
  Idle.wait(lock, [this] { return Pending.empty() && !Busy; });
}

void TTagWorker::Run(std::stop_token stop) {
  // Below the frame thread: on a busy machine reading tags waits, the picture does not.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
  // Quit signals are the frame thread's to handle.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  TFontTextConverter converter;
  std::unique_lock lock(Mutex);
  while (!stop.stop_requested()) {
    if (!Wake.wait(lock, stop, [this] { return !Pending.empty(); })) break;
    // Everything requested so far in one go, so that adding files rarely meets a held lock.
    std::deque<TRequest> batch;
    batch.swap(Pending);
    Busy = true;
    const uint64_t generation = Generation;
    lock.unlock();
    for (TRequest& request : batch) {
      if (stop.stop_requested() || generation != Generation) break;
      TResult result{request.Id, Reader(request.Path), {}};
      result.Title = converter.Convert(TagTitle(result.Tags), MaxTitleCharacters);
      const std::lock_guard hold(Mutex);
      if (generation == Generation) Ready.push_back(std::move(result));
    }
    lock.lock();
    Busy = false;
    if (Pending.empty()) Idle.notify_all();
  }
  Busy = false;
  Idle.notify_all();
}
