#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/zrnTemplate.h"
#include "engine/core/zrnTimer.h"

namespace {
struct FakeClock {
  int64_t Ticks = 0;
  TZRNTimer::CounterFn Fn() {
    return [this] { return Ticks; };
  }
};
}  // namespace

TEST(Timer, FrameRateWindowClosesAfterHalfASecond) {
  FakeClock clock;
  TZRNTimer timer(clock.Fn(), 1000);
  for (int i = 1; i <= 8; ++i) {
    clock.Ticks += 60;
    timer.Update();
    EXPECT_EQ(timer.FrameRate, 0) << "update " << i;
  }
  clock.Ticks += 60;
  timer.Update();  // 0.54 s > 0.5
  EXPECT_EQ(timer.FrameRate, 16);
  EXPECT_EQ(timer.RateFrames, 0);
  clock.Ticks += 60;
  timer.Update();
  EXPECT_EQ(timer.RateFrames, 1);
  EXPECT_NEAR(timer.FrameTime, 0.06, 1e-12);
  EXPECT_EQ(timer.FrameCount, 10);
}

TEST(Timer, IntervalMeasuresFromTheLastReset) {
  FakeClock clock;
  TZRNTimer timer(clock.Fn(), 1000);
  clock.Ticks = 100;
  const double a = timer.Interval(false);
  clock.Ticks = 250;
  const double b = timer.Interval(false);
  EXPECT_LT(a, b);
  EXPECT_NEAR(timer.Interval(true), 0.25, 1e-12);
  clock.Ticks = 300;
  EXPECT_NEAR(timer.Interval(false), 0.05, 1e-12);
}

namespace {
class ScriptedApp : public TZRNApplication {
 public:
  std::vector<std::string> Log;
  int QuitAtUpdate = -1;
  int Updates = 0;
  void Init() override { Log.push_back("init"); }
  void Update() override {
    ++Updates;
    Log.push_back("update");
    if (Updates == QuitAtUpdate) Terminate();
  }
  void Render() override { Log.push_back("render"); }
  void Shutdown() override { Log.push_back("shutdown"); }
};

void DrainQueue() {
  TZRNEvent e{};
  while (Events().Pop(e)) {
  }
}
}  // namespace

TEST(RunLoop, QueuedQuitEndsAfterOneFrame) {
  DrainQueue();
  ScriptedApp app;
  app.Terminate();
  app.Terminate();  // a second quit in the same frame changes nothing
  app.Run();
  EXPECT_EQ(app.Log, (std::vector<std::string>{"init", "update", "render", "shutdown"}));
  DrainQueue();
}

TEST(RunLoop, TerminateFromUpdateEndsOneFrameLater) {
  DrainQueue();
  ScriptedApp app;
  app.QuitAtUpdate = 2;
  app.Run();
  EXPECT_EQ(app.Updates, 3);
  EXPECT_EQ(app.Log.back(), "shutdown");
  app.Terminate();
  EXPECT_EQ(Events().Count, 1) << "after Run, Terminate only leaves a quit event";
  DrainQueue();
}

TEST(RunLoop, MouseEventsReachOnlyAssignedCallbacks) {
  DrainQueue();
  ScriptedApp app;
  int pressedX = -1;
  app.OnMousePressed = [&](int32_t x, int32_t, int32_t) { pressedX = x; };
  TZRNEvent e = MakeEvent(ZRN_MOUSE_PRESSED);
  e.Mouse.X = 42;
  app.HandleEvent(e);
  EXPECT_EQ(pressedX, 42);
  e.Kind = ZRN_MOUSE_RELEASED;
  app.HandleEvent(e);  // no callback: ignored
  e.Kind = ZRN_EVENT_QUIT;
  app.HandleEvent(e);
  EXPECT_TRUE(app.Terminated);
}

TEST(RunLoop, ExceptionsLeaveRunWithoutShutdown) {
  DrainQueue();
  struct Failing : ScriptedApp {
    void Update() override { throw std::runtime_error("boom"); }
  } app;
  EXPECT_THROW(app.Run(), std::runtime_error);
  EXPECT_EQ(app.Log, (std::vector<std::string>{"init"}));
}
