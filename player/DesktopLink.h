#pragma once
// The player's ties to the desktop: files handed over by a second start, and the media-player
// interface on the session bus. Both are polled from the frame loop and never block it.
#include <memory>
#include <string>
#include <vector>

class TDemo;
class THandOffServer;
class TMprisService;
class TMprisAdapter;

class TDesktopLink {
 public:
  // Listens for hand-offs and publishes the player on the session bus; a part that cannot start
  // is logged in one line and the player runs without it.
  explicit TDesktopLink(TDemo& demo);
  ~TDesktopLink();
  TDesktopLink(const TDesktopLink&) = delete;
  TDesktopLink& operator=(const TDesktopLink&) = delete;

  void Poll();

 private:
  TDemo& Demo;
  std::unique_ptr<THandOffServer> HandOff;
  std::unique_ptr<TMprisAdapter> Adapter;
  std::unique_ptr<TMprisService> Mpris;
};

// A second start: hands the files among arguments to the running copy. Returns the exit status:
// 0 when they were taken or there was nothing to hand over, 1 (with a line on stderr) otherwise.
int HandFilesToRunningCopy(const std::vector<std::string>& arguments);
