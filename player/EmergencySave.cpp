#include "player/EmergencySave.h"

#include <exception>

#include "platform/Log.h"
#include "player/Demo.h"
#include "player/Options.h"
#include "player/Playlist.h"
#include "player/Visualizer.h"

void SaveSessionNow(TDemo& demo) {
  // Before start-up read the options, or after shutdown stored them, there is nothing to save.
  if (!demo.Options || !demo.Playlist) return;
  try {
    demo.Options->SaveSession(demo.Language, demo.Playlist->Shuffle, demo.Volume, demo.Playing, demo.Visualizer ? demo.Visualizer->Visualization : 0,
                              *demo.Playlist, demo.GetPositionPercent());
    LogLine("The display was lost; the session was stored");
  } catch (const std::exception& error) {
    ReportFault(std::string("The display was lost and the session could not be stored: ") + error.what());
  }
}
