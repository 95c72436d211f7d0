// Files and folders named on the command line or dropped on the window.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "player/Demo.h"
#include "player/Playlist.h"
#include "tests/unit/player/FakeAudio.h"

namespace {

struct NamedFiles : ::testing::Test {
  FakeAudio Audio;
  TDemo Demo{&Audio};
  std::string Dir;

  void SetUp() override {
    char pattern[] = "/tmp/snv_named_XXXXXX";
    Dir = mkdtemp(pattern);
    std::filesystem::create_directories(Dir + "/album");
    for (const char* name : {"known.ogg", "album/10.ogg", "album/9.ogg"}) std::ofstream(Dir + "/" + name) << "x";
    Demo.Playlist = MakeOwned<TPlaylist>();
    Demo.Playlist->PlayTrack = [this](int32_t i) { Demo.PlayTrack(i); };
    Demo.Playlist->AddTrack(Dir + "/known.ogg", "");
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
};

TEST_F(NamedFiles, AFolderAddsItsFilesAndTheFirstOneAddedPlays) {
  Demo.AddNamedFiles({Dir + "/album/", Dir + "/known.ogg", Dir + "/absent.ogg"});
  EXPECT_EQ(Demo.Playlist->TrackPaths,
            (std::vector<std::string>{Dir + "/known.ogg", Dir + "/album/9.ogg", Dir + "/album/10.ogg"}));
  EXPECT_EQ(Demo.CurrentFile, Dir + "/album/9.ogg");
}

TEST_F(NamedFiles, AKnownFileNamedFirstPlaysWhereItStands) {
  Demo.AddNamedFiles({Dir + "/absent.ogg", Dir + "/known.ogg", Dir + "/album"});
  EXPECT_EQ(Demo.Playlist->Count(), 3);
  EXPECT_EQ(Demo.CurrentFile, Dir + "/known.ogg");
}

// A playlist that cannot be read (here a socket, which no one can open as a file) used to end
// the start-up; now it costs only itself.
TEST_F(NamedFiles, AnUnreadablePlaylistDoesNotStopTheNamesAfterIt) {
  const std::string socketPath = Dir + "/broken.m3u";
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_NO_THROW(Demo.AddNamedFiles({socketPath, Dir + "/album"}));
  close(fd);
  EXPECT_EQ(Demo.Playlist->Count(), 3);
  EXPECT_EQ(Demo.CurrentFile, Dir + "/album/9.ogg");
}

}  // namespace
