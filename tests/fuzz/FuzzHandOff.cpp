#include "FuzzHandOff.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/HandOff.h"
#include "platform/Mpris.h"

namespace {
void CheckPath(const std::string& path) {
  if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos) std::abort();
}
}  // namespace

void FuzzHandOffInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> paths;
  if (ParseHandOffMessage(bytes, paths)) {
    if (paths.empty()) std::abort();
    for (const std::string& path : paths) CheckPath(path);
  }
  const std::string path = PathFromUri(bytes);
  if (!path.empty()) CheckPath(path);
}
