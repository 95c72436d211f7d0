#include "player/TagWorker.h"

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
  {
    const std::lock_guard lock(Mutex);
    Pending.push_back({id, std::move(path)});
    if (!Thread.joinable()) Thread = std::jthread([this](std::stop_token stop) { Run(stop); });
  }
  Wake.notify_one();
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
  TFontTextConverter converter;
  std::unique_lock lock(Mutex);
  while (!stop.stop_requested()) {
    if (!Wake.wait(lock, stop, [this] { return !Pending.empty(); })) break;
    TRequest request = std::move(Pending.front());
    Pending.pop_front();
    Busy = true;
    const uint64_t generation = Generation;
    lock.unlock();

    TResult result{request.Id, Reader(request.Path), {}};
    result.Title = converter.Convert(TagTitle(result.Tags), MaxTitleCharacters);

    lock.lock();
    if (generation == Generation) Ready.push_back(std::move(result));
    Busy = false;
    if (Pending.empty()) Idle.notify_all();
  }
  Busy = false;
  Idle.notify_all();
}
