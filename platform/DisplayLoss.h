#pragma once
// When the X server goes away (the session ends abruptly, the server is killed), Xlib calls a
// handler and then ends the process with status 1, before any shutdown code runs.
#include <functional>

// Installs a handler that runs `save` (it must make no X or OpenGL call: the connection is gone)
// and then ends the process with status 0.
void OnDisplayLost(std::function<void()> save);
