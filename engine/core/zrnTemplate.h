#pragma once
// Base of every program on the engine: one Init, frames until a quit event, one Shutdown.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/zrnEvents.h"

class TZRNApplication {
 public:
  TZRNApplication() = default;
  virtual ~TZRNApplication() = default;

  virtual void Init() = 0;
  virtual void Update() = 0;
  virtual void Render() = 0;
  virtual void Shutdown() = 0;
  virtual void HandleEvent(TZRNEvent& event);

  // Exceptions leave Run at once, without Shutdown.
  void Run();
  // Queues a quit event; takes effect when the loop pops it.
  void Terminate();

  bool Terminated = false;
  std::function<void(int32_t x, int32_t y, int32_t button)> OnMousePressed;
  std::function<void(int32_t x, int32_t y)> OnMouseMoved;
  std::function<void(int32_t x, int32_t y, int32_t button)> OnMouseReleased;
  // Files and folders dropped on the window, in the order the desktop gave them.
  std::function<void(const std::vector<std::string>& paths)> OnFilesDropped;
};
