#pragma once
// A fresh directory per test, removed with everything in it afterwards.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

class TTempDir {
 public:
  TTempDir() {
    char pattern[] = "/tmp/snv_options_XXXXXX";
    Path = mkdtemp(pattern);
    Path += "/";
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(Path, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(Path, ec);
  }
  std::string operator/(const std::string& name) const { return Path + name; }

  std::string Path;  // ends in "/"
};

inline void WriteText(const std::string& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

inline std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> DirectoryEntries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  return names;
}

// Runs fn in a child process that is not root, so that file permissions bind it, with the folder
// handed to that user; returns the child's exit status (fn's result when it ran).
inline int AsUnprivileged(const std::string& dir, const std::function<int()>& fn) {
  constexpr uid_t nobody = 65534;
  if (getuid() == 0 && chown(dir.c_str(), nobody, nobody) != 0) return 90;
  const pid_t pid = fork();
  if (pid == 0) {
    if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(91);
    _exit(fn());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}
