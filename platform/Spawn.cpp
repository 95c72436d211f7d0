#include "platform/Spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace {

// Frees the spawn attributes and file actions on every path out of Start.
struct TSpawnSetup {
  posix_spawn_file_actions_t Files;
  posix_spawnattr_t Attributes;
  TSpawnSetup() {
    posix_spawn_file_actions_init(&Files);
    posix_spawnattr_init(&Attributes);
  }
  ~TSpawnSetup() {
    posix_spawnattr_destroy(&Attributes);
    posix_spawn_file_actions_destroy(&Files);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;
};

TExitStatus Decode(int status) {
  if (WIFEXITED(status)) return {true, WEXITSTATUS(status)};
  return {false, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

}  // namespace

std::optional<TChildProcess> TChildProcess::Start(const std::vector<std::string>& argv, const TSpawnOptions& options) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  int pipeFds[2] = {-1, -1};
  if (options.CaptureOutput && pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;

  TSpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.Files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (options.CaptureOutput) posix_spawn_file_actions_adddup2(&setup.Files, pipeFds[1], STDOUT_FILENO);
  else if (!options.KeepOutput) posix_spawn_file_actions_addopen(&setup.Files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (!options.KeepOutput) posix_spawn_file_actions_addopen(&setup.Files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  // The player's quit handlers and blocked signals are not the child's business.
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&setup.Attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&setup.Attributes, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (options.OwnSession) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&setup.Attributes, flags);

  pid_t pid = 0;
  const int rc = options.SearchPath
                     ? posix_spawnp(&pid, args[0], &setup.Files, &setup.Attributes, args.data(), environ)
                     : posix_spawn(&pid, args[0], &setup.Files, &setup.Attributes, args.data(), environ);
  if (options.CaptureOutput) close(pipeFds[1]);
  if (rc != 0) {
    if (options.CaptureOutput) close(pipeFds[0]);
    return std::nullopt;
  }
  return TChildProcess(pid, pipeFds[0]);
}

TChildProcess::TChildProcess(TChildProcess&& other) noexcept : Pid(other.Pid), OutputPipe(other.OutputPipe) {
  other.Pid = -1;
  other.OutputPipe = -1;
}

TChildProcess::~TChildProcess() {
  CloseOutput();
  if (Pid > 0) {
    kill(Pid, SIGKILL);
    Wait();
  }
}

void TChildProcess::CloseOutput() {
  if (OutputPipe >= 0) close(OutputPipe);
  OutputPipe = -1;
}

std::string TChildProcess::ReadOutput() {
  std::string output;
  char buffer[4096];
  while (OutputPipe >= 0) {
    const ssize_t n = read(OutputPipe, buffer, sizeof buffer);
    if (n > 0) output.append(buffer, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) break;
  }
  CloseOutput();
  return output;
}

std::optional<TExitStatus> TChildProcess::Wait() {
  if (Pid <= 0) return std::nullopt;
  int status = 0;
  while (waitpid(Pid, &status, 0) < 0) {
    if (errno != EINTR) {
      Pid = -1;
      return std::nullopt;
    }
  }
  Pid = -1;
  return Decode(status);
}

std::optional<TExitStatus> TChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Pid > 0) {
    int status = 0;
    const pid_t done = waitpid(Pid, &status, WNOHANG);
    if (done == Pid) {
      Pid = -1;
      return Decode(status);
    }
    if (done < 0 && errno != EINTR) {
      Pid = -1;
      return std::nullopt;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return std::nullopt;
}

void TChildProcess::Detach() {
  CloseOutput();
  if (Pid <= 0) return;
  std::thread([pid = Pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  Pid = -1;
}
