#include "platform/OpenDocument.h"

#include <filesystem>
#include <system_error>

#include "platform/Spawn.h"

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
  // Its own session: closing the player does not take the viewer down with it.
  std::optional<TChildProcess> viewer = TChildProcess::Start({"xdg-open", path}, {.OwnSession = true, .KeepOutput = true});
  if (!viewer) return false;
  viewer->Detach();
  return true;
}
