#include "engine/core/zrnTemplate.h"

void TZRNApplication::HandleEvent(TZRNEvent& event) {
  switch (event.Kind) {
    case ZRN_EVENT_QUIT:
      Terminated = true;
      break;
    case ZRN_MOUSE_PRESSED:
      if (OnMousePressed) OnMousePressed(event.Mouse.X, event.Mouse.Y, event.Mouse.Button);
      break;
    case ZRN_MOUSE_RELEASED:
      if (OnMouseReleased) OnMouseReleased(event.Mouse.X, event.Mouse.Y, event.Mouse.Button);
      break;
    case ZRN_MOUSE_MOVED:
      if (OnMouseMoved) OnMouseMoved(event.Mouse.X, event.Mouse.Y);
      break;
    default:
      break;
  }
}

void TZRNApplication::Run() {
  Terminated = false;
  Init();
  TZRNEvent event{};
  while (!Terminated) {
    while (Events().Pop(event)) HandleEvent(event);
    Update();
    Render();
  }
  Shutdown();
}

void TZRNApplication::Terminate() { Events().Push(MakeEvent(ZRN_EVENT_QUIT)); }
