// Where a program run from its build folder and an installed one find their data and keep the
// user's files.
#include <stdlib.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/InstallLayout.h"
#include "platform/UserFiles.h"
#include "tests/unit/options/TempDir.h"

namespace {

TEST(InstallLayout, BuildFolderAndInstalledPrefix) {
  TTempDir root;
  const std::string build = root / "build/";
  const std::string bin = root / "prefix/bin/";
  const std::string share = bin + "../share/sonavarium/";
  std::filesystem::create_directories(build);
  std::filesystem::create_directories(share);
  std::filesystem::create_directories(bin);
  for (const char* name : {"pi.dat", "pm.dat", "ff.dat"}) {
    WriteText(build + name, "x");
    WriteText(share + name, "x");
  }
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);

  EXPECT_FALSE(IsInstalledCopy(build));
  EXPECT_EQ(AssetDir(build), build);
  EXPECT_EQ(MissingAssetsReport(build), "");
  EXPECT_EQ(UserFileDir(build), build);

  EXPECT_TRUE(IsInstalledCopy(bin));
  EXPECT_EQ(AssetDir(bin), share);
  EXPECT_EQ(MissingAssetsReport(bin), "");
  // bin/ is writable here, and still the user's files go to the configuration folder.
  EXPECT_EQ(UserFileDir(bin), root / "config/sonavarium/");

  std::filesystem::remove(share + "pm.dat");
  std::filesystem::remove(share + "ff.dat");
  EXPECT_EQ(MissingAssetsReport(bin), "Error: missing pm.dat, ff.dat (searched " + bin + " and " + share + ")");
  std::filesystem::remove(build + "pi.dat");
  EXPECT_EQ(MissingAssetsReport(build), "Error: missing pi.dat (searched " + build + ")");
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
