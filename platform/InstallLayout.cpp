#include "platform/InstallLayout.h"

#include <sys/stat.h>

namespace {

const char* const AssetFiles[] = {"pi.dat", "pm.dat", "ff.dat"};
const char* const SharedData = "../share/sonavarium/";

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string dir) {
  if (dir.empty()) return "./";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

bool IsInstalledCopy(const std::string& programDir) {
  const std::string dir = WithSlash(programDir);
  return !IsFile(dir + AssetFiles[0]) && IsDirectory(dir + SharedData);
}

std::string AssetDir(const std::string& programDir) {
  const std::string dir = WithSlash(programDir);
  return IsInstalledCopy(dir) ? dir + SharedData : dir;
}

std::string MissingAssetsReport(const std::string& programDir) {
  const std::string assets = AssetDir(programDir);
  std::string missing;
  for (const char* name : AssetFiles) {
    if (!IsFile(assets + name)) missing += std::string(missing.empty() ? "" : ", ") + name;
  }
  if (missing.empty()) return {};
  std::string searched = WithSlash(programDir);
  if (assets != searched) searched += " and " + assets;
  return "Error: missing " + missing + " (searched " + searched + ")";
}
