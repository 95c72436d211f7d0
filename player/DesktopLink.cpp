#include "player/DesktopLink.h"

#include <cstdio>
#include <filesystem>

#include "platform/HandOff.h"
#include "platform/Log.h"
#include "platform/Mpris.h"
#include "player/Demo.h"
#include "player/MprisAdapter.h"

namespace {
// Long enough for a copy that is still starting or drawing a slow frame.
constexpr std::chrono::milliseconds HandOffTimeout{5000};
}  // namespace

TDesktopLink::TDesktopLink(TDemo& demo) : Demo(demo), Adapter(std::make_unique<TMprisAdapter>(demo)) {
  std::string error;
  HandOff = THandOffServer::Listen(HandOffSocketPath(), error);
  if (!HandOff) LogLine("Files from a second start cannot be taken: " + error);
  Mpris = TMprisService::Connect(*Adapter, error);
  if (!Mpris) LogLine("Media keys and desktop controls are off: " + error);
}

TDesktopLink::~TDesktopLink() = default;

void TDesktopLink::Poll() {
  if (HandOff) {
    for (const std::vector<std::string>& files : HandOff->Poll()) {
      try {
        Demo.AddNamedFiles(files);
      } catch (const std::exception& error) {
        // An unreadable playlist must not end the running player.
        LogLine(std::string("Error: ") + error.what());
      }
    }
  }
  if (Mpris) {
    std::string error;
    if (!Mpris->Poll(error)) {
      LogLine("Media keys and desktop controls are off: " + error);
      Mpris.reset();
    }
  }
}

int HandFilesToRunningCopy(const std::vector<std::string>& arguments) {
  if (arguments.empty() || TDemo::IsInfoSwitch(arguments[0])) return 0;
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    std::error_code error;
    paths.push_back(std::filesystem::absolute(argument, error).lexically_normal().string());
  }
  const std::string failure = SendToRunningCopy(HandOffSocketPath(), paths, HandOffTimeout);
  if (failure.empty()) return 0;
  std::fprintf(stderr, "sonavarium: the files were not handed to the running player: %s\n", failure.c_str());
  return 1;
}
