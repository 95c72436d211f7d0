#pragma once
// Storing the session when the program must end at once (its display is gone): the settings,
// playlist and position, without touching the window or the renderer.
class TDemo;

void SaveSessionNow(TDemo& demo);
