#include "platform/HandOff.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char Magic[] = "SNV-FILES 1\n";
constexpr size_t MagicLength = sizeof(Magic) - 1;

class TFd {
 public:
  explicit TFd(int fd = -1) : Fd(fd) {}
  ~TFd() {
    if (Fd >= 0) close(Fd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return Fd; }
  int Release() {
    const int fd = Fd;
    Fd = -1;
    return fd;
  }

 private:
  int Fd;
};

bool FillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// False when the client is gone; MSG_NOSIGNAL keeps that from raising SIGPIPE.
bool Answer(int fd, char answer) { return send(fd, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1; }

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

std::string HandOffSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return {};
  std::string path = std::string(runtime) + "/sonavarium.sock";
  sockaddr_un address;
  return FillAddress(path, address) ? path : std::string();
}

bool ParseHandOffMessage(const std::string& message, std::vector<std::string>& paths) {
  paths.clear();
  if (message.compare(0, MagicLength, Magic) != 0) return false;
  size_t at = MagicLength;
  while (at < message.size()) {
    const size_t end = message.find('\0', at);
    if (end == std::string::npos) return false;
    std::string path = message.substr(at, end - at);
    if (path.empty() || path[0] != '/') return false;
    paths.push_back(std::move(path));
    at = end + 1;
  }
  return !paths.empty();
}

struct THandOffServer::TClient {
  explicit TClient(int fd) : Fd(fd), LastHeard(std::chrono::steady_clock::now()) {}
  TFd Fd;
  std::string Received;
  std::chrono::steady_clock::time_point LastHeard;
};

std::unique_ptr<THandOffServer> THandOffServer::Listen(const std::string& path, std::string& error,
                                                       THandOffLimits limits) {
  sockaddr_un address;
  if (!FillAddress(path, address)) {
    error = path.empty() ? "no runtime folder (XDG_RUNTIME_DIR)" : "socket path too long: " + path;
    return nullptr;
  }
  TFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (fd.Get() < 0) {
    error = Reason("socket");
    return nullptr;
  }
  unlink(path.c_str());
  if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error = Reason("bind " + path);
    return nullptr;
  }
  chmod(path.c_str(), 0600);
  if (listen(fd.Get(), 128) != 0) {
    error = Reason("listen " + path);
    unlink(path.c_str());
    return nullptr;
  }
  return std::unique_ptr<THandOffServer>(new THandOffServer(fd.Release(), path, limits));
}

THandOffServer::THandOffServer(int fd, std::string path, THandOffLimits limits)
    : ListenFd(fd), Path(std::move(path)), Limits(limits) {}

THandOffServer::~THandOffServer() {
  close(ListenFd);
  // Only our own socket: a later copy may already have replaced it.
  struct stat st {};
  if (stat(Path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) unlink(Path.c_str());
}

size_t THandOffServer::ClientCount() const { return Clients.size(); }

void THandOffServer::AcceptWaiting() {
  for (;;) {
    const int fd = accept4(ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    // Full: the oldest goes. A real sender writes everything at once and is done within a poll,
    // so only clients that hang about lose their place.
    if (Clients.size() >= Limits.MaxClients) {
      Answer(Clients.front()->Fd.Get(), '-');
      Clients.erase(Clients.begin());
    }
    Clients.push_back(std::make_unique<TClient>(fd));
  }
}

std::vector<std::vector<std::string>> THandOffServer::Poll() {
  std::vector<std::vector<std::string>> messages;
  AcceptWaiting();
  const auto now = std::chrono::steady_clock::now();
  size_t budget = Limits.ReadBudgetPerPoll;
  for (size_t i = 0; i < Clients.size();) {
    TClient& client = *Clients[i];
    bool done = false;
    bool valid = false;
    char buffer[16384];
    while (budget > 0) {
      const ssize_t n = recv(client.Fd.Get(), buffer, std::min(sizeof buffer, budget), 0);
      if (n > 0) {
        budget -= static_cast<size_t>(n);
        client.LastHeard = now;
        if (client.Received.size() + static_cast<size_t>(n) > Limits.MaxMessageBytes) {
          done = true;
          break;
        }
        client.Received.append(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n == 0) {
        std::vector<std::string> paths;
        valid = ParseHandOffMessage(client.Received, paths);
        // A sender that gave up waiting has told its user the files were not taken: drop them.
        if (valid && Answer(client.Fd.Get(), '+')) messages.push_back(std::move(paths));
        done = true;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        done = true;
      }
      break;
    }
    if (!done && now - client.LastHeard > Limits.IdleTimeout) done = true;
    if (done) {
      if (!valid) Answer(client.Fd.Get(), '-');
      Clients.erase(Clients.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return messages;
}

std::string SendToRunningCopy(const std::string& socketPath, const std::vector<std::string>& absolutePaths,
                              std::chrono::milliseconds timeout) {
  sockaddr_un address;
  if (socketPath.empty()) return "no runtime folder (XDG_RUNTIME_DIR) to reach the running player through";
  if (!FillAddress(socketPath, address)) return "socket path too long: " + socketPath;
  std::string message = Magic;
  for (const std::string& path : absolutePaths) {
    message += path;
    message += '\0';
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_ptr<TFd> connected;
  // A copy that is still starting holds the lock before it listens: try again until the deadline.
  for (;;) {
    auto attempt = std::make_unique<TFd>(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (attempt->Get() < 0) return Reason("socket");
    if (connect(attempt->Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      connected = std::move(attempt);
      break;
    }
    if ((errno != ENOENT && errno != ECONNREFUSED && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      return Reason("the running player does not answer at " + socketPath);
    }
    usleep(20000);
  }
  const TFd& fd = *connected;
  auto waitFor = [&](short events) {
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{fd.Get(), events, 0};
      const int rc = poll(&p, 1, static_cast<int>(left.count()));
      if (rc > 0) return true;
      if (rc < 0 && errno != EINTR) return false;
    }
  };
  size_t sent = 0;
  while (sent < message.size()) {
    if (!waitFor(POLLOUT)) return "the running player did not take the files in time";
    const ssize_t n = send(fd.Get(), message.data() + sent, message.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return Reason("sending to the running player");
    if (n > 0) sent += static_cast<size_t>(n);
  }
  shutdown(fd.Get(), SHUT_WR);
  if (!waitFor(POLLIN)) return "the running player did not answer in time";
  char answer = 0;
  if (recv(fd.Get(), &answer, 1, 0) != 1) return "the running player closed the connection";
  return answer == '+' ? std::string() : "the running player refused the files";
}
