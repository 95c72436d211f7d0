#include "platform/OpenDocument.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

extern char** environ;

std::string FindReadme(const std::string& programDir) {
  namespace fs = std::filesystem;
  const fs::path dir = programDir.empty() ? fs::path(".") : fs::path(programDir);
  std::error_code ec;
  for (const fs::path& candidate : {dir / "README.md", dir / ".." / "README.md"}) {
    if (fs::is_regular_file(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
  }
  return {};
}

bool OpenDocument(const std::string& path) {
  if (path.empty()) return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  // The viewer must not read the player's terminal.
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own session: closing the player does not take the viewer down with it.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  std::string program = "xdg-open";
  std::string argument = path;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  const int result = posix_spawnp(&child, "xdg-open", &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  std::thread([child] {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}
