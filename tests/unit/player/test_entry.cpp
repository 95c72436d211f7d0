// Program entry services: the version switches, the log, the single-instance lock, quit signals
// and the event forwarding of the player object.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/device/zrnInput.h"
#include "platform/Log.h"
#include "platform/Signals.h"
#include "platform/SingleInstance.h"
#include "platform/UserFiles.h"
#include "player/Demo.h"

namespace fs = std::filesystem;

namespace {
fs::path MakeTempDir() {
  std::string pattern = (fs::temp_directory_path() / "snv_entry_XXXXXX").string();
  return fs::path(mkdtemp(pattern.data()));
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs fn in a child process and returns its exit status.
template <typename Fn>
int InChild(Fn fn) {
  const pid_t pid = fork();
  if (pid == 0) _exit(fn());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}
}  // namespace

TEST(Entry, OnlyTheLowerCaseSwitchesShowTheVersion) {
  EXPECT_TRUE(TDemo::IsInfoSwitch("-nfo"));
  EXPECT_TRUE(TDemo::IsInfoSwitch("-ver"));
  EXPECT_FALSE(TDemo::IsInfoSwitch("-NFO"));
  EXPECT_FALSE(TDemo::IsInfoSwitch("-VER"));
  EXPECT_FALSE(TDemo::IsInfoSwitch("-version"));
  EXPECT_FALSE(TDemo::IsInfoSwitch("ver"));
  EXPECT_EQ(TDemo::VersionText(), std::string("Sonavarium ") + SNV_VERSION);
}

TEST(Log, AppendsOnlyToAnExistingDebugFile) {
  const fs::path dir = MakeTempDir();
  const std::string prefix = dir.string() + "/";
  LogLineIn(prefix, "Error: 2");
  EXPECT_FALSE(fs::exists(dir / "Debug.txt")) << "logging must not create the file";
  std::ofstream(dir / "Debug.txt").close();
  LogLineIn(prefix, "Error: 2");
  LogLineIn(prefix, "Error in OpenFileDialog");
  EXPECT_EQ(ReadAll(dir / "Debug.txt"), "Error: 2\r\nError in OpenFileDialog\r\n");
  fs::remove_all(dir);
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds) {
  const fs::path dir = MakeTempDir();
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  EXPECT_EQ(SingleInstanceLockPath(), dir.string() + "/sonavarium.lock");
  // A copy that ends releases the lock with its process.
  EXPECT_EQ(InChild([] { return AcquireSingleInstance() == TInstanceLock::Acquired ? 0 : 1; }), 0);
  ASSERT_EQ(AcquireSingleInstance(), TInstanceLock::Acquired);
  EXPECT_EQ(InChild([] { return AcquireSingleInstance() == TInstanceLock::HeldByOther ? 0 : 1; }), 0);
  // A program started by the player (exec) must not keep the lock alive.
  int lockFds = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path(), ec) != dir / "sonavarium.lock") continue;
    ++lockFds;
    EXPECT_TRUE(fcntl(std::stoi(entry.path().filename().string()), F_GETFD) & FD_CLOEXEC);
  }
  EXPECT_EQ(lockFds, 1);
  unsetenv("XDG_RUNTIME_DIR");
  fs::remove_all(dir);
}

TEST(UserFiles, OnlyAbsoluteFolderSettingsCountAndTheFallbackIsPrivate) {
  const fs::path dir = MakeTempDir();
  const std::string saved = getenv("HOME") ? getenv("HOME") : "";
  std::ofstream(dir / "file").close();
  setenv("HOME", dir.c_str(), 1);
  const std::string fromHome = dir.string() + "/.config/sonavarium/";
  const struct {
    const char* Xdg;
    std::string Expected;
    bool Noted;
  } cases[] = {
      {"relative/conf", fromHome, true},
      {"", fromHome, false},
      {nullptr, fromHome, false},
  };
  for (const auto& c : cases) {
    if (c.Xdg) setenv("XDG_CONFIG_HOME", c.Xdg, 1);
    else unsetenv("XDG_CONFIG_HOME");
    std::string note;
    EXPECT_EQ(UserFileDir("", &note), c.Expected) << (c.Xdg ? c.Xdg : "unset");
    EXPECT_EQ(!note.empty(), c.Noted) << note;
  }
  setenv("XDG_CONFIG_HOME", (dir / "file").c_str(), 1);
  std::string note;
  EXPECT_EQ(UserFileDir("", &note), fromHome) << "a regular file is no folder";
  EXPECT_NE(note.find("file"), std::string::npos);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  const std::string fallback = UserFileDir("");
  EXPECT_TRUE(IsPrivateDir(fallback)) << fallback;

  // A name planted by someone else (here a link) is never used.
  const std::string uid = std::to_string(getuid());
  fs::create_directory_symlink(dir, dir / ("sonavarium-" + uid));
  const std::string fresh = PrivateUserDir(dir.string());
  EXPECT_NE(fresh, dir.string() + "/sonavarium-" + uid + "/");
  EXPECT_TRUE(IsPrivateDir(fresh));
  EXPECT_EQ(PrivateUserDir(dir.string()), fresh) << "the same folder for the process life";
  // The lock moves there too when the runtime folder is missing or shared.
  for (const std::string& runtime : {(dir / "missing").string(), std::string("/tmp")}) {
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(SingleInstanceLockPath(), PrivateUserDir() + "sonavarium.lock") << runtime;
  }
  unsetenv("XDG_RUNTIME_DIR");
  if (!saved.empty()) setenv("HOME", saved.c_str(), 1);
  fs::remove_all(dir);
  fs::remove_all(fresh);
}

TEST(Signals, ABurstIsIgnoredDuringTheGracePeriodAndASignalAfterItEnds) {
  const int status = InChild([] {
    static volatile std::sig_atomic_t flag = 0;
    InstallQuitSignals(&flag, 1);
    raise(SIGTERM);
    if (flag != 1) return 1;
    flag = 0;
    raise(SIGHUP);
    if (flag != 1) return 2;
    for (int i = 0; i < 50; ++i) raise(i % 2 ? SIGTERM : SIGINT);  // still saving: survives
    usleep(1100 * 1000);
    raise(SIGTERM);  // past the grace period: the default action ends the process
    return 3;
  });
  EXPECT_EQ(status, 100 + SIGTERM);
}

TEST(DemoEvents, QuitEndsTheLoopAndEveryEventReachesTheInput) {
  TDemo demo;
  demo.Input = MakeOwned<TZRNInput>();
  TZRNEvent key = MakeEvent(ZRN_KEY_PRESSED);
  key.Keyboard.Key = 299;
  demo.HandleEvent(key);
  TZRNEvent click = MakeEvent(ZRN_MOUSE_PRESSED);
  click.Mouse.Button = 0;
  demo.HandleEvent(click);
  EXPECT_TRUE(demo.Input->Keyboard->Keys[299]);
  EXPECT_TRUE(demo.Input->Mouse->States.Contains(isButton1));
  EXPECT_FALSE(demo.Terminated);
  TZRNEvent quit = MakeEvent(ZRN_EVENT_QUIT);
  demo.HandleEvent(quit);
  EXPECT_TRUE(demo.Terminated);
}
