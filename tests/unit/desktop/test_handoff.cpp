// The hand-off socket: messages that arrive whole are taken, everything else adds nothing and
// never holds up a poll.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/HandOff.h"
#include "platform/Mpris.h"
#include "player/TrackInfo.h"
#include "tests/unit/options/TempDir.h"

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

const std::string Magic = "SNV-FILES 1\n";

// A raw client: connects, writes bytes, optionally ends its side.
int RawClient(const std::string& path, const std::string& bytes, bool finish) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  if (!bytes.empty()) (void)send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  if (finish) shutdown(fd, SHUT_WR);
  return fd;
}

char ReadAnswer(int fd) {
  char answer = 0;
  return recv(fd, &answer, 1, 0) == 1 ? answer : 0;
}

// Polls until every client is dealt with (or 500 polls), collecting the messages.
std::vector<std::vector<std::string>> Drain(THandOffServer& server) {
  std::vector<std::vector<std::string>> all;
  for (int i = 0; i < 500; ++i) {
    for (auto& message : server.Poll()) all.push_back(std::move(message));
    if (i > 2 && server.ClientCount() == 0) break;
    usleep(1000);
  }
  return all;
}

struct HandOff : ::testing::Test {
  TTempDir Dir;
  std::string Path = Dir / "sonavarium.sock";
  std::unique_ptr<THandOffServer> Listen(THandOffLimits limits = {}) {
    std::string error;
    auto server = THandOffServer::Listen(Path, error, limits);
    EXPECT_TRUE(server) << error;
    return server;
  }
};

TEST_F(HandOff, SentPathsArriveAndTheSenderHearsSo) {
  auto server = Listen();
  struct stat st {};
  ASSERT_EQ(stat(Path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  const std::vector<std::string> paths = {"/music/a b.mp3", "/music/list.m3u", "/\xD0\x96.ogg"};
  auto sent = std::async(std::launch::async, [&] { return SendToRunningCopy(Path, paths, 5s); });
  std::vector<std::vector<std::string>> got;
  while (sent.wait_for(1ms) != std::future_status::ready) {
    for (auto& message : server->Poll()) got.push_back(message);
  }
  EXPECT_EQ(sent.get(), "");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], paths);
}

TEST_F(HandOff, StaleSocketIsReplacedAndRemovedAtTheEnd) {
  { auto first = Listen(); }
  WriteText(Path, "left over");
  {
    auto server = Listen();
    ASSERT_TRUE(server);
  }
  EXPECT_NE(access(Path.c_str(), F_OK), 0);
}

TEST_F(HandOff, BadMessagesAddNothingAndAreRefused) {
  THandOffLimits limits;
  limits.MaxMessageBytes = 4096;
  auto server = Listen(limits);
  const std::string huge = Magic + "/" + std::string(10000, 'x') + '\0';
  const std::vector<std::string> bad = {
      "", "garbage\n", "SNV-FILES 2\n/a\0"s, Magic, Magic + "relative.mp3" + '\0', Magic + "/no-terminator",
      Magic + '\0' + "/a" + '\0', huge,
  };
  std::vector<int> clients;
  for (const std::string& bytes : bad) clients.push_back(RawClient(Path, bytes, true));
  EXPECT_TRUE(Drain(*server).empty());
  for (size_t i = 0; i < clients.size(); ++i) {
    EXPECT_EQ(ReadAnswer(clients[i]), '-') << "message " << i;
    close(clients[i]);
  }
}

TEST_F(HandOff, SilentAndSurplusClientsAreDroppedWithoutHoldingUpPolls) {
  THandOffLimits limits;
  limits.IdleTimeout = 50ms;
  auto server = Listen(limits);
  std::vector<int> clients;
  for (int i = 0; i < 100; ++i) clients.push_back(RawClient(Path, i % 2 ? Magic : "", false));
  server->Poll();
  EXPECT_EQ(server->ClientCount(), limits.MaxClients);
  // A good sender among the crowd still gets through once the idle ones are gone.
  auto sent = std::async(std::launch::async, [&] { return SendToRunningCopy(Path, {"/x.ogg"}, 5s); });
  std::vector<std::vector<std::string>> got;
  while (sent.wait_for(1ms) != std::future_status::ready) {
    for (auto& message : server->Poll()) got.push_back(message);
  }
  EXPECT_EQ(sent.get(), "");
  EXPECT_EQ(got, (std::vector<std::vector<std::string>>{{"/x.ogg"}}));
  EXPECT_TRUE(Drain(*server).empty());
  EXPECT_EQ(server->ClientCount(), 0u);
  for (int fd : clients) {
    EXPECT_EQ(ReadAnswer(fd), '-');
    close(fd);
  }
}

TEST_F(HandOff, SenderReportsAMissingOrHungPlayer) {
  EXPECT_NE(SendToRunningCopy("", {"/a.ogg"}, 100ms), "");
  EXPECT_NE(SendToRunningCopy(Path, {"/a.ogg"}, 100ms), "");
  auto server = Listen();  // listening, but never polled: a hung player
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(SendToRunningCopy(Path, {"/a.ogg"}, 200ms), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  // When the player wakes up, the files its sender gave up on are not added behind its back.
  EXPECT_TRUE(Drain(*server).empty());
}

TEST(DesktopUris, PathsFromUrisAndBack) {
  const struct {
    std::string uri, path;
  } cases[] = {
      {"file:///music/a%20b.mp3", "/music/a b.mp3"},
      {"file://localhost/music/x.ogg", "/music/x.ogg"},
      {"/plain/path.flac", "/plain/path.flac"},
      {"file:///bad%2", ""},
      {"file:///nul%00byte", ""},
      {"http://example.invalid/a.mp3", ""},
      {"relative.mp3", ""},
      {"file://", ""},
      {"file:///a\0b"s, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PathFromUri(c.uri), c.path) << c.uri;
  const std::string odd = "/m\xC3\xBCsic/a b#%?.mp3";
  EXPECT_EQ(FileUri(odd), "file:///m%C3%BCsic/a%20b%23%25%3F.mp3");
  EXPECT_EQ(PathFromUri(FileUri(odd)), odd);
}

}  // namespace
