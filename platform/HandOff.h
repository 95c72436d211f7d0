#pragma once
// Files handed from a second start of the player to the copy that already runs, over a Unix
// socket beside the single-instance lock. A message is the magic line "SNV-FILES 1", then one
// absolute path per NUL-terminated entry; the sender ends it by shutting down its writing side
// and waits for a one-byte answer ('+' taken, '-' refused).
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The socket's path in $XDG_RUNTIME_DIR; empty when that is unset or the path would not fit.
std::string HandOffSocketPath();

struct THandOffLimits {
  size_t MaxMessageBytes = 1 << 20;
  size_t MaxClients = 16;
  // Bytes read from all clients in one poll, so that a flood never stalls a frame.
  size_t ReadBudgetPerPoll = 256 * 1024;
  std::chrono::milliseconds IdleTimeout{2000};
};

// The running copy's end. Every call returns at once.
class THandOffServer {
 public:
  // Replaces whatever is at path (the caller holds the instance lock, so a socket there was left
  // by a copy that died). Null with the reason in error on failure.
  static std::unique_ptr<THandOffServer> Listen(const std::string& path, std::string& error,
                                                THandOffLimits limits = {});
  ~THandOffServer();
  THandOffServer(const THandOffServer&) = delete;
  THandOffServer& operator=(const THandOffServer&) = delete;

  // Accepts waiting clients and reads what they sent; returns the complete, valid messages, each
  // as its list of paths. Malformed, oversized and idle clients are answered '-' and dropped, and
  // so is the oldest client when a new one comes while MaxClients are open.
  std::vector<std::vector<std::string>> Poll();
  size_t ClientCount() const;

 private:
  struct TClient;
  THandOffServer(int fd, std::string path, THandOffLimits limits);
  void AcceptWaiting();
  int ListenFd;
  std::string Path;
  THandOffLimits Limits;
  std::vector<std::unique_ptr<TClient>> Clients;
};

// The second copy's end: sends the absolute paths and waits for the answer. Empty on success,
// else one line saying why the files were not handed over.
std::string SendToRunningCopy(const std::string& socketPath, const std::vector<std::string>& absolutePaths,
                              std::chrono::milliseconds timeout);

// Parses one complete message; false for anything but the magic line and absolute paths.
bool ParseHandOffMessage(const std::string& message, std::vector<std::string>& paths);
