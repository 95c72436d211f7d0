#include "engine/core/zrnCoreTeam.h"

#include <algorithm>

TZRNCoreTeam::TZRNCoreTeam() : TZRNCoreTeam(static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency())) - 1) {}

TZRNCoreTeam::TZRNCoreTeam(int32_t helpers) {
  for (int32_t part = 1; part <= helpers; ++part)
    Helpers.emplace_back([this, part](const std::stop_token& stop) { Help(stop, part); });
}

TZRNCoreTeam::~TZRNCoreTeam() {
  for (std::jthread& helper : Helpers) helper.request_stop();
  Wake.notify_all();
}

void TZRNCoreTeam::Run(int32_t parts, const std::function<void(int32_t part)>& work) {
  parts = std::clamp(parts, 1, Size());
  if (parts > 1) {
    std::lock_guard hold(Lock);
    Work = &work;
    Parts = parts;
    Busy = parts - 1;
    ++Round;
  }
  if (parts > 1) Wake.notify_all();
  work(0);
  if (parts > 1) {
    std::unique_lock hold(Lock);
    Finished.wait(hold, [this] { return Busy == 0; });
    Work = nullptr;
  }
}

void TZRNCoreTeam::Help(const std::stop_token& stop, int32_t part) {
  uint64_t seen = 0;
  std::unique_lock hold(Lock);
  while (Wake.wait(hold, stop, [&] { return Round != seen; })) {
    seen = Round;
    if (part >= Parts) continue;
    const std::function<void(int32_t)>& work = *Work;
    hold.unlock();
    work(part);
    hold.lock();
    if (--Busy == 0) Finished.notify_one();
  }
}
