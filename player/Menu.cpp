// The on-screen menu: header, main, help and playlist pages, and the cursor.
#include <algorithm>
#include <string>

#include "engine/assets/zrnImage.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "platform/InstallLayout.h"
#include "platform/OpenDocument.h"
#include "player/Demo.h"
#include "player/Playlist.h"
#include "player/Strings.h"
#include "player/Visualizer.h"

namespace {

// Volume 10 is shown as "F" so the caption keeps one character.
std::string VolumeText(uint8_t volume) { return volume >= 10 ? std::string("F") : std::to_string(volume); }

}  // namespace

void TDemo::DrawMenu() {
  const auto text = [this](int index) { return std::string(Strings[Language][index]); };
  BeginLayout();

  const int32_t width = Device->Width();
  if (ImageButton(*LogoAnimations, {static_cast<float>(width - UiPx(240)), static_cast<float>(width), 0.0f,
                                    static_cast<float>(UiPx(72))}))
    OpenDocument(FindReadme(AssetDir(ProgramDir)));
  if (MenuButton(text(txtExit))) Terminate();
  if (MenuButton(text(txtMusic))) AddFilesDialog(true);
  if (Playing) {
    if (MenuButton(text(txtPause))) SetPaused(true);
  } else {
    if (MenuButton(text(txtPlay))) SetPaused(false);
  }
  if (MenuPage != mpHelp && MenuButton(text(txtHelp))) MenuPage = mpHelp;

  switch (MenuPage) {
    case mpMain: {
      if (MenuButton(text(txtPlaylist))) MenuPage = mpPlaylist;

      if (MenuButton("<", 1)) SetVolume(-1, false);
      if (MenuButton(text(txtVolume) + VolumeText(Volume))) SetVolume(0, false);
      if (MenuButton(">")) SetVolume(1, false);

      const std::string position = CurrentFile.empty() ? std::string("0") : std::to_string(GetPositionPercent());
      if (MenuButton("<")) SeekPercent(-1);
      if (MenuButton(text(txtPosition) + position + "%")) SeekPercent(0);
      if (MenuButton(">")) SeekPercent(1);

      LayoutOffsetY = 12;
      MenuLabel(Playlist->ShownName(CurrentFile), clrWhite, true);

      // The buttons start a row of their own, split into shorter rows on taller screens.
      for (uint8_t i = 0; i < VisualizationCount; ++i) {
        int8_t newRows = 0;
        if (i == 0) newRows = 1;
        else if (i % VisualizationButtonsPerRow == 0 && Device->Height() > 600) newRows = 1;
        if (MenuButton(Visualizations[i].Name, newRows)) SetVisualization(i);
      }
      break;
    }
    case mpHelp: {
      if (MenuButton(text(txtBack))) MenuPage = mpMain;
      LayoutOffsetY = 12;
      MenuLabel("   " + text(txtHotKeys), clrWhite, true);
      for (int line = txtFirstHotKeyLine; line <= txtLastHotKeyLine; ++line) {
        LayoutOffsetY = static_cast<int16_t>(LayoutOffsetY - 14);
        // As many lines as the screen has room for.
        if (LayoutY() + UiPx(44 + 30) > Device->Height()) break;
        MenuLabel("     " + text(line), clrWhite, true);
      }
      break;
    }
    case mpPlaylist: {
      TPlaylist& list = *Playlist;
      if (MenuButton(text(txtBack))) MenuPage = mpMain;
      if (MenuButton(text(txtAdd), 1)) {
        // Files and folders need choosers of their own on the desktop; Shift picks the folder one.
        if (Input->States.Contains(isShift)) AddFolderDialog(false);
        else AddFilesDialog(false);
      }
      if (MenuButton(text(txtDelete))) list.DeleteTrack(list.SelectedIndex);
      if (MenuButton("<")) list.ScrollPlaylist(-1);
      if (MenuButton(">")) list.ScrollPlaylist(1);
      if (MenuButton(text(txtClear))) list.ClearPlaylist();
      if (MenuButton(text(txtRandomize) + (list.Shuffle ? "[*]" : "[ ]"))) list.Shuffle = !list.Shuffle;

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

  if (MenuPage != mpClosed) {
    const TZRNMouse& mouse = *Input->Mouse;
    CursorAnimations->DrawTransformed(Images->Find("GUI"),
                                      MatrixTranslateScale(static_cast<float>(mouse.X), static_cast<float>(mouse.Y),
                                                           Screen.ScaleX / static_cast<float>(Ui.AssetScale),
                                                           Screen.ScaleY / static_cast<float>(Ui.AssetScale), 0.0f),
                                      1.0f, 1.0f, 1.0f, 1.0f, false);
  }
}
