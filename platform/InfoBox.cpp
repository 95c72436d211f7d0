#include "platform/InfoBox.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <thread>

extern char** environ;

bool SpawnDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  // Own session: the box survives the player and Ctrl+C in the player's terminal.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &files, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&files);
  if (rc != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

bool ShowInfoBox(const std::string& text, uintptr_t owner, bool endProcess) {
  const std::string body = text + "   ";
  std::vector<std::string> zenity = {"zenity", "--info", "--no-markup", "--title=Sonavarium", "--text=" + body};
  if (owner != 0) zenity.push_back("--attach=" + std::to_string(owner));
  std::vector<std::string> kdialog = {"kdialog", "--title", "Sonavarium", "--msgbox", body};
  if (owner != 0) {
    kdialog.insert(kdialog.begin() + 1, {"--attach", std::to_string(owner)});
  }
  const bool shown = SpawnDetached(zenity) || SpawnDetached(kdialog);
  if (endProcess) std::exit(0);
  return shown;
}
