#include "player/EmergencySave.h"

#include <exception>

#include "platform/Log.h"
#include "player/Main.h"
#include "player/Options.h"
#include "player/Playlist.h"

void SaveSessionNow(TDemo& demo) {
  // Before start-up read the options, or after shutdown stored them, there is nothing to save.
  if (!demo.Options || !demo.Playlist) return;
  try {
    demo.Options->SaveSession(Language, demo.Playlist->Shuffle, demo.Volume, demo.Playing, Visualization,
                              *demo.Playlist, demo.GetPositionPercent());
    LogLine("The display was lost; the session was stored");
  } catch (const std::exception& error) {
    ReportFault(std::string("The display was lost and the session could not be stored: ") + error.what());
  }
}
