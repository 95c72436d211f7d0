#include "platform/FolderScan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "platform/NaturalOrder.h"
#include "platform/audio/SoundContent.h"

namespace {

// Deeper trees are not music collections; the cap also bounds the recursion.
constexpr int kMaxDepth = 64;

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? folder + name : folder + "/" + name;
}

struct TEntry {
  std::string Name;
  bool Folder;
};

class TFolderWalk {
 public:
  std::vector<std::string> Files;

  void Walk(const std::string& folder, int depth) {
    struct stat st {};
    if (depth > kMaxDepth || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    if (!Visited.insert({st.st_dev, st.st_ino}).second) return;
    for (const TEntry& entry : Entries(folder)) {
      const std::string path = Join(folder, entry.Name);
      if (entry.Folder) Walk(path, depth + 1);
      else if (IsSoundFile(path, entry.Name)) Files.push_back(path);
    }
  }

 private:
  std::set<std::pair<dev_t, ino_t>> Visited;

  static std::vector<TEntry> Entries(const std::string& folder) {
    std::vector<TEntry> entries;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return entries;
    while (const dirent* e = readdir(dir)) {
      if (e->d_name[0] == '.') continue;  // ".", ".." and hidden entries
      bool isFolder = e->d_type == DT_DIR;
      bool isFile = e->d_type == DT_REG;
      if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
        struct stat st {};
        const std::string path = Join(folder, e->d_name);
        if (stat(path.c_str(), &st) != 0) continue;  // a dangling link
        isFolder = S_ISDIR(st.st_mode);
        isFile = S_ISREG(st.st_mode);
      }
      if (isFolder || isFile) entries.push_back({e->d_name, isFolder});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const TEntry& a, const TEntry& b) { return NaturalLess(a.Name, b.Name); });
    return entries;
  }

  static bool IsSoundFile(const std::string& path, const std::string& name) {
    if (HasPlaylistExtension(name)) return false;
    return HasSoundExtension(name) || SniffSoundFile(path) != ESoundContent::Unknown;
  }
};

}  // namespace

std::vector<std::string> SoundFilesBelow(const std::string& folder) {
  TFolderWalk walk;
  std::string root = folder;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  walk.Walk(root, 0);
  return std::move(walk.Files);
}
