// The on-screen menu: header, main, help and playlist pages, and the cursor.
#include <algorithm>
#include <string>

#include "engine/assets/zrnImage.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "platform/OpenDocument.h"
#include "player/Main.h"
#include "player/Playlist.h"
#include "player/Strings.h"

namespace {

const char* const VisualizationNames[8] = {"Spiro-Spectr", "Spiro-Crazy", "Spiral0metr",  "Chaos Pulse",
                                           "Oscilloscope", "Oscillotrack", "Osc-builder", "Osc-runner"};

std::string Text(int index) { return std::string(Strings[Language][index]); }

// Volume 10 is shown as "F" so the caption keeps one character.
std::string VolumeText(uint8_t volume) { return volume >= 10 ? std::string("F") : std::to_string(volume); }

}  // namespace

void TDemo::DrawMenu() {
  BeginLayout();

  const int32_t width = Device->Width();
  if (ImageButton(*LogoAnimations, {static_cast<float>(width - 240), static_cast<float>(width), 0.0f, 72.0f}))
    OpenDocument(FindReadme(ProgramDir));
  if (MenuButton(Text(2))) Terminate();
  if (MenuButton(Text(3))) AddFilesDialog(true);
  if (Playing) {
    if (MenuButton(Text(4))) SetPaused(true);
  } else {
    if (MenuButton(Text(5))) SetPaused(false);
  }
  if (MenuPage != 2 && MenuButton(Text(6))) MenuPage = 2;

  switch (MenuPage) {
    case 1: {
      if (MenuButton(Text(22))) MenuPage = 3;

      if (MenuButton("<", 1)) SetVolume(-1, false);
      if (MenuButton(Text(7) + VolumeText(Volume))) SetVolume(0, false);
      if (MenuButton(">")) SetVolume(1, false);

      const std::string position = CurrentFile.empty() ? std::string("0") : std::to_string(GetPositionPercent());
      if (MenuButton("<")) SeekPercent(-1);
      if (MenuButton(Text(8) + position + "%")) SeekPercent(0);
      if (MenuButton(">")) SeekPercent(1);

      LayoutOffsetY = 12;
      MenuLabel(Playlist->ShownName(CurrentFile), clrWhite, true);

      for (uint8_t i = 0; i < 8; ++i) {
        int8_t newRows = 0;
        if (i == 0) newRows = 1;
        if (i == 4 && Device->Height() > 600) newRows = 1;
        if (MenuButton(VisualizationNames[i], newRows)) SetVisualization(i);
      }
      break;
    }
    case 2: {
      if (MenuButton(Text(9))) MenuPage = 1;
      LayoutOffsetY = 12;
      MenuLabel("   " + Text(10), clrWhite, true);
      for (int line = 11; line <= 21; ++line) {
        LayoutOffsetY = static_cast<int16_t>(LayoutOffsetY - 14);
        MenuLabel("     " + Text(line), clrWhite, true);
      }
      break;
    }
    case 3: {
      TPlaylist& list = *Playlist;
      if (MenuButton(Text(9))) MenuPage = 1;
      if (MenuButton(Text(24), 1)) AddFilesDialog(false);
      if (MenuButton(Text(25))) list.DeleteTrack(list.SelectedIndex);
      if (MenuButton("<")) list.ScrollPlaylist(-1);
      if (MenuButton(">")) list.ScrollPlaylist(1);
      if (MenuButton(Text(26))) list.ClearPlaylist();
      if (MenuButton(Text(27) + (list.Shuffle ? "[*]" : "[ ]"))) list.Shuffle = !list.Shuffle;

      if (!list.TrackPaths.empty()) {
        LayoutOffsetX = 24;
        LayoutOffsetY = 12;
        const uint8_t shownBefore = list.VisibleRows;
        list.VisibleRows = 0;
        for (int32_t i = list.TopIndex; i < static_cast<int32_t>(list.TrackPaths.size()); ++i) {
          LayoutOffsetY = static_cast<int16_t>(LayoutOffsetY - 1);
          if (PlaylistRow(list.TrackNames[static_cast<size_t>(i)], i)) PlayTrack(i);
          else if (LayoutOverflow) break;
        }
        list.VisibleRows = std::max(shownBefore, list.VisibleRows);
      }
      break;
    }
    default:
      break;
  }

  if (MenuPage != 0) {
    const TZRNMouse& mouse = *Input->Mouse;
    CursorAnimations->DrawTransformed(Images->Find("GUI"),
                                      MatrixTranslateScale(static_cast<float>(mouse.X), static_cast<float>(mouse.Y),
                                                           ScaleX, ScaleY, 0.0f),
                                      1.0f, 1.0f, 1.0f, 1.0f, false);
  }
}
