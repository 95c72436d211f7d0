// Child processes: exit status, captured output, timeouts and the cleanup of an abandoned child.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "platform/Spawn.h"

namespace {

TEST(Spawn, ReportsHowTheChildEnded) {
  struct TCase {
    std::string Script;
    bool Exited;
    int Code;
  };
  for (const TCase& c : {TCase{"exit 0", true, 0}, TCase{"exit 3", true, 3}, TCase{"kill -TERM $$", false, SIGTERM}}) {
    std::optional<TChildProcess> child = TChildProcess::Start({"sh", "-c", c.Script}, {});
    ASSERT_TRUE(child) << c.Script;
    const std::optional<TExitStatus> status = child->Wait();
    ASSERT_TRUE(status) << c.Script;
    EXPECT_EQ(status->Exited, c.Exited) << c.Script;
    EXPECT_EQ(status->Code, c.Code) << c.Script;
  }
}

TEST(Spawn, ArgumentsArriveWholeAndOutputIsCaptured) {
  std::optional<TChildProcess> child =
      TChildProcess::Start({"printf", "%s|", "a b", "$HOME", "'q'"}, {.CaptureOutput = true});
  ASSERT_TRUE(child);
  EXPECT_EQ(child->ReadOutput(), "a b|$HOME|'q'|");
  EXPECT_EQ(child->Wait()->Code, 0);
}

TEST(Spawn, MissingProgramDoesNotStart) {
  EXPECT_FALSE(TChildProcess::Start({"/nonexistent/program"}, {.SearchPath = false}));
  EXPECT_FALSE(TChildProcess::Start({"snv-no-such-program"}, {}));
  EXPECT_FALSE(TChildProcess::Start({}, {}));
}

TEST(Spawn, TimeoutLeavesTheChildRunningAndLettingGoKillsIt) {
  pid_t pid = 0;
  {
    std::optional<TChildProcess> child = TChildProcess::Start({"sleep", "30"}, {});
    ASSERT_TRUE(child);
    pid = child->ProcessId();
    EXPECT_FALSE(child->Wait(std::chrono::milliseconds(50)));
    EXPECT_EQ(kill(pid, 0), 0) << "still running after the timeout";
  }
  // Reaped by the destructor: no such child is left to wait for.
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1);
}

}  // namespace
