// The hot-key handler, run at the start of every Update.
#include <algorithm>
#include <cstdint>

#include "engine/device/zrnInput.h"
#include "player/KeyBindings.h"
#include "player/Demo.h"
#include "player/Visualizer.h"
#include "player/Playlist.h"

namespace {

bool Held(const TZRNInput& input, TZRNInputState state) { return input.States.Contains(state); }

}  // namespace

bool TDemo::HotKeyGateOpen() const { return KeyGate.Open(); }

void TDemo::HotKeyActed(bool edge) {
  KeyGate.Acted();
  // Edge keys must be pressed again before they act again.
  if (edge) Input->Keyboard->States.Clear();
}

void TDemo::HandleHotKeys() {
  TZRNInput& input = *Input;
  input.Update();
  KeyGate.BeginPass();

  if (Playing) {
    int8_t step = 0;
    if (Held(input, isUp)) step = 1;
    else if (Held(input, isDown)) step = -1;
    if (step != 0 && HotKeyGateOpen()) {
      SetVolume(step, false);
      HotKeyActed(false);
    }
  }

  if (Playing) {
    bool restart = Held(input, hkRestartBackspace) || Held(input, hkRestartX);
    int8_t step = 0;
    if (!restart) {
      if (Held(input, isRight)) step = 1;
      else if (Held(input, isLeft)) step = -1;
    }
    if ((restart || step != 0) && HotKeyGateOpen()) {
      SeekPercent(restart ? 0 : step);
      HotKeyActed(false);
    }
  }

  if (MenuPage == mpPlaylist) {
    TPlaylist& list = *Playlist;
    const int32_t wheel = input.Mouse->Wheel;
    if (wheel != list.LastWheel) {
      // Differences gathered while the page was hidden arrive here in one step. A byte holds the
      // step; beyond it the step saturates rather than wrapping into the opposite direction.
      const int64_t turned = static_cast<int64_t>(list.LastWheel) - wheel;
      const int8_t step = static_cast<int8_t>(std::clamp<int64_t>(turned, INT8_MIN, INT8_MAX));
      list.LastWheel = wheel;
      if (step != 0) list.ScrollPlaylist(step);
    }
    if (HotKeyGateOpen()) {
      int8_t step = 0;
      if (Held(input, hkPlaylistBottom)) step = 1;
      else if (Held(input, hkPlaylistTop)) step = -1;
      if (step != 0) {
        const int32_t count = static_cast<int32_t>(list.TrackPaths.size());
        list.TopIndex = step > 0 ? count - 1 : 0;
        list.ScrollPlaylist(0);
        HotKeyActed(true);
      }
      step = 0;
      if (Held(input, hkDeleteEntry)) step = 1;
      else if (Held(input, hkAddFiles)) step = -1;
      if (step > 0) {
        if (list.SelectedIndex >= 0) list.DeleteTrack(list.SelectedIndex);
        HotKeyActed(true);
      } else if (step < 0) {
        // Read before the gate clears the keyboard states.
        const bool folder = Held(input, isShift);
        HotKeyActed(true);
        if (folder) AddFolderDialog(false);
        else AddFilesDialog(false);
      }
    }
  }

  if (Playlist->TrackPaths.size() >= 2 && HotKeyGateOpen()) {
    int8_t step = 0;
    if (Held(input, hkNextTrackKeypad) || Held(input, hkNextTrack)) step = 1;
    else if (Held(input, hkPreviousTrackKeypad) || Held(input, hkPreviousTrack)) step = -1;
    if (step != 0) {
      Playlist->NextTrack(step);
      HotKeyActed(false);
    }
  }

  if (HotKeyGateOpen() && (Held(input, hkPlaylistPageP) || Held(input, hkPlaylistPageTab))) {
    MenuPage = MenuPage == mpPlaylist ? mpClosed : mpPlaylist;
    HotKeyActed(true);
  }

  if (HotKeyGateOpen() && Held(input, hkHelpPage)) {
    MenuPage = MenuPage == mpHelp ? mpClosed : mpHelp;
    HotKeyActed(true);
  }

  if (!MenuLatch && MenuPage == mpClosed && HotKeyGateOpen()) {
    int8_t step = 0;
    if (Held(input, hkNextVisualization)) step = 1;
    else if (Held(input, hkPreviousVisualization)) step = -1;
    if (step != 0) {
      // 8-bit wrap: from 0 a step back gives 255, which selects 0.
      SetVisualization(static_cast<uint8_t>(Visualizer->Visualization + step));
      HotKeyActed(false);
    }
  }

  if (!Playing && Held(input, hkPlayPause) && HotKeyGateOpen()) {
    SetPaused(false);
    HotKeyActed(false);
    return;
  }

  MenuLatch = MenuPage != mpClosed;

  if (Playing && Held(input, hkPlayPause) && HotKeyGateOpen()) {
    SetPaused(true);
    HotKeyActed(false);
  }

  if (MenuPage != mpClosed && Held(input, hkMenu) && HotKeyGateOpen()) {
    MenuPage = mpClosed;
    HotKeyActed(true);
  }

  // The latch keeps one Esc press from closing and reopening the menu in the same frame.
  if (!MenuLatch && MenuPage == mpClosed && Held(input, hkMenu) && HotKeyGateOpen()) {
    MenuPage = mpMain;
    HotKeyActed(true);
  }
}
