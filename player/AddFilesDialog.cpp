// Adding files through the desktop's file chooser, attached to the player's window.
#include "engine/device/zrnOpenGL.h"
#include "player/Demo.h"
#include "player/Playlist.h"

void TDemo::AddFilesDialog(bool play) {
  // The frame loop stands still while the chooser is open: the pointer must be free for it.
  ZRNSetPointerCaptured(false);
  Playlist->AddFilesDialog(play, Language, static_cast<uint64_t>(WindowHandle));
  ZRNSetPointerCaptured(true);
}
