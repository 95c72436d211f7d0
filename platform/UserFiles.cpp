#include "platform/UserFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/InstallLayout.h"

namespace {
void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0700);
  }
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// The fallback when the per-user name is taken by someone else: one fresh folder per parent for
// the process life, so that every caller finds the same files.
std::string FreshPrivateDir(const std::string& parent) {
  static std::mutex mutex;
  static std::map<std::string, std::string> made;
  std::lock_guard<std::mutex> lock(mutex);
  std::string& dir = made[parent];
  if (dir.empty()) {
    std::string pattern = parent + "/sonavarium-" + std::to_string(getuid()) + "-XXXXXX";
    if (mkdtemp(pattern.data())) dir = pattern + "/";
  }
  return dir;
}
}  // namespace

bool IsPrivateDir(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

std::string PrivateUserDir(const std::string& parent) {
  const std::string dir = parent + "/sonavarium-" + std::to_string(getuid());
  mkdir(dir.c_str(), 0700);
  if (IsPrivateDir(dir)) return dir + "/";
  return FreshPrivateDir(parent);
}

std::string UserFileDir(const std::string& programDir, std::string* note) {
  // An installed copy keeps its files in the user's folder whatever its own folder allows.
  if (!programDir.empty() && !IsInstalledCopy(programDir) && access(programDir.c_str(), W_OK) == 0) return programDir;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    const std::string value = xdg;
    if (value[0] != '/') {
      if (note) *note = "XDG_CONFIG_HOME is not an absolute path and is ignored: " + value;
    } else if (Exists(value) && !IsDirectory(value)) {
      if (note) *note = "XDG_CONFIG_HOME names something other than a folder and is ignored: " + value;
    } else {
      base = value;
    }
  }
  if (base.empty()) {
    if (const char* home = std::getenv("HOME"); home && *home == '/') base = std::string(home) + "/.config";
  }
  if (base.empty()) return PrivateUserDir();
  const std::string dir = base + "/sonavarium/";
  MakeDirs(dir);
  return dir;
}
