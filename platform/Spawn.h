#pragma once
// Child processes started without a shell. A TChildProcess owns its child: letting it go without
// waiting for it or detaching it kills and reaps the child, so none is left as a zombie.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct TSpawnOptions {
  bool SearchPath = true;      // look argv[0] up on PATH unless it holds a "/"
  bool OwnSession = false;     // outlives the player and a Ctrl+C in the player's terminal
  bool CaptureOutput = false;  // standard output goes to a pipe, read with ReadOutput
  bool KeepOutput = false;     // standard output and error go where the player's go (else /dev/null)
};

struct TExitStatus {
  bool Exited = false;  // false: ended by a signal
  int Code = 0;         // the exit status, or the signal number
};

class TChildProcess {
 public:
  // Standard input is /dev/null. Nothing when the program could not be started.
  static std::optional<TChildProcess> Start(const std::vector<std::string>& argv, const TSpawnOptions& options);

  TChildProcess(TChildProcess&& other) noexcept;
  TChildProcess& operator=(TChildProcess&&) = delete;
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;
  ~TChildProcess();

  // Everything the child writes to standard output until it closes it (CaptureOutput only).
  std::string ReadOutput();
  // Waits for the child to end; nothing when it is still running after `timeout`.
  std::optional<TExitStatus> Wait();
  std::optional<TExitStatus> Wait(std::chrono::milliseconds timeout);
  // Gives up ownership: a background thread reaps the child whenever it ends.
  void Detach();

  pid_t ProcessId() const { return Pid; }

 private:
  TChildProcess(pid_t pid, int outputPipe) : Pid(pid), OutputPipe(outputPipe) {}
  void CloseOutput();

  pid_t Pid = -1;  // -1 once reaped or detached
  int OutputPipe = -1;
};
