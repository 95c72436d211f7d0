#include "platform/UserFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/InstallLayout.h"

namespace {
void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0700);
  }
}
}  // namespace

std::string UserFileDir(const std::string& programDir) {
  // An installed copy keeps its files in the user's folder whatever its own folder allows.
  if (!programDir.empty() && !IsInstalledCopy(programDir) && access(programDir.c_str(), W_OK) == 0) return programDir;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = "/tmp";
  }
  const std::string dir = base + "/sonavarium/";
  MakeDirs(dir);
  return dir;
}
