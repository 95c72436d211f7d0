// Files people really have that decoders trip over: float samples, downloads cut short, and
// names that are not files at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/audio/AudioClock.h"
#include "platform/audio/SoundFile.h"
#include "tests/unit/audio/AudioTestFiles.h"

namespace {

int64_t DecodeToEnd(TSoundFile& file, int& peak) {
  std::vector<int16_t> block(static_cast<size_t>(4096 * file.Channels()));
  int64_t total = 0;
  peak = 0;
  for (int64_t got; (got = file.Read(block.data(), 4096)) > 0;) {
    total += got;
    peak = std::max(peak, PeakOf(block.data(), static_cast<size_t>(got * file.Channels())));
  }
  return total;
}

TEST(HostileFiles, FloatSamplesSoundAndCutOffOggFilesPlayToTheirLastCompletePage) {
  TTempDir dir;
  const std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(RunShell("sox -D -n -r 48000 -c 2 -b 16 " + wav + " synth 4 whitenoise vol 0.5"));  // noise: many Ogg pages
  const struct {
    const char* Name;
    std::string Make;  // $IN: the 16-bit tone, $OUT: the file to make
    bool CutInHalf;
  } cases[] = {
      {"float32.wav", "sox $IN -e floating-point -b 32 $OUT", false},
      {"float64.wav", "sox $IN -e floating-point -b 64 $OUT", false},
      {"cut.ogg", "oggenc -Q $IN -o $OUT", true},
      {"cut.opus", "opusenc --quiet $IN $OUT", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir.File(c.Name);
    std::string command = c.Make;
    command.replace(command.find("$IN"), 3, wav);
    command.replace(command.find("$OUT"), 4, path);
    ASSERT_TRUE(RunShell(command));
    if (c.CutInHalf) std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    std::string error;
    auto file = TSoundFile::Open(path, &error);
    ASSERT_TRUE(file) << error;
    int peak = 0;
    const int64_t decoded = DecodeToEnd(*file, peak);
    EXPECT_GT(peak, 12000) << "half of full scale";
    EXPECT_GT(decoded, 0);
    EXPECT_EQ(file->Frames(), decoded) << "the length is what the decoder delivers";
  }
}

TEST(HostileFiles, PipesAndDevicesAreRefusedWithoutWaiting) {
  TTempDir dir;
  const std::string pipe = dir.File("pipe.wav");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string zero = dir.File("zero.wav");
  std::filesystem::create_symlink("/dev/zero", zero);
  for (const std::string& path : {pipe, zero, dir.File("")}) {
    std::string error;
    EXPECT_EQ(TSoundFile::Open(path, &error), nullptr) << path;  // a blocking open never returns
    EXPECT_EQ(error, "not a regular file");
  }
}

TEST(HostileFiles, TheSilentClockDoesNotCountTimeTheProcessWasStopped) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  if (child == 0) {
    TRunningAudioClock clock;
    const auto wallStart = std::chrono::steady_clock::now();
    const int64_t start = clock.NowNs();
    if (write(pipeFds[1], "r", 1) != 1) _exit(2);
    while (std::chrono::steady_clock::now() - wallStart < std::chrono::milliseconds(2500)) {
      clock.NowNs();  // the player reads it every frame
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double counted = static_cast<double>(clock.NowNs() - start) / 1e9;
    // Stopped for 1.5 s of the wall time.
    _exit(counted < wall - 1.2 && counted > 0.5 ? 0 : 1);
  }
  char ready;
  ASSERT_EQ(read(pipeFds[0], &ready, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(child, SIGSTOP);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  kill(child, SIGCONT);
  int status = 0;
  waitpid(child, &status, 0);
  close(pipeFds[0]);
  close(pipeFds[1]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
