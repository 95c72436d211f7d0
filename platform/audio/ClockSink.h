#pragma once
// Plays into nothing at the output's rate, driven by the steady clock: what keeps positions
// moving and tracks ending when a sound server goes away mid-play.
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/OutputSink.h"

class TAudioOutput;

class TClockSink final : public IOutputSink {
 public:
  TClockSink(TAudioOutput& output, int id);
  ~TClockSink() override;
  TClockSink(const TClockSink&) = delete;
  TClockSink& operator=(const TClockSink&) = delete;

  bool Failed() const override { return false; }

 private:
  void Run();

  TAudioOutput& FOutput;
  const int FId;
  std::vector<float> FScratch;
  std::atomic<bool> FQuit{false};
  std::thread FThread;
};
