// The run's small routines: the work drive, file searches, short paths, quiet deletion.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

TEST(PickWorkDrive, KeptAmountIsTheRoundedFreeSpace) {
  // 10.4 rounds to a kept 10, so a second drive with 10.3 wins.
  EXPECT_EQ(ChooseDrive({{"/a/", 10.4}, {"/b/", 10.3}}), "/b/");
  EXPECT_EQ(ChooseDrive({{"/a/", 10.6}, {"/b/", 10.9}}), "/a/");
  // Ties to even: 2.5 is kept as 2, so 2.4 wins; 3.5 is kept as 4, so 3.9 does not.
  EXPECT_EQ(ChooseDrive({{"/a/", 2.5}, {"/b/", 2.4}}), "/b/");
  EXPECT_EQ(ChooseDrive({{"/a/", 3.5}, {"/b/", 3.9}}), "/a/");
  EXPECT_EQ(ChooseDrive({{"/a/", 0.0}}), "");
  EXPECT_EQ(ChooseDrive({}), "");
}

TEST(PickWorkDrive, StoredDriveIsUsedWhenWritableElseOneIsChosen) {
  TempDir dir;
  ScopedEnv store("NORVO_REGISTRY", dir / "registry.db");
  settings::WriteSetting("Resp_Drive", dir.path().string());
  EXPECT_EQ(PickWorkDrive(), dir.path().string() + "/");
  settings::WriteSetting("Resp_Drive", (dir / "gone").c_str());
  std::string chosen = PickWorkDrive();
  EXPECT_NE(chosen, dir / "gone/");
  if (!chosen.empty()) {
    EXPECT_EQ(chosen.back(), '/');
    EXPECT_TRUE(platform::IsWritableFolder(chosen)) << chosen;
  }
}

TEST(PickWorkDrive, EveryDriveOfferedIsWritable) {
  for (const auto& drive : platform::WritableLocalDrives()) {
    EXPECT_EQ(drive.root.back(), '/');
    EXPECT_TRUE(platform::IsWritableFolder(drive.root)) << drive.root;
    EXPECT_GE(drive.free_gib, 0.0);
  }
}

TEST(FolderExists, FolderPathNeedsAFileInsideAndWildcardsMatchFilesOnly) {
  TempDir dir;
  const std::string folder = dir.path().string() + "/";
  EXPECT_FALSE(FolderExists(folder));  // exists but empty
  std::filesystem::create_directory(dir / "sub");
  EXPECT_FALSE(FolderExists(folder));  // a folder is not a file
  EXPECT_FALSE(FolderExists(dir / "sub"));
  std::ofstream(dir / "a.xls") << "x";
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(dir / "a.xls"));
  EXPECT_TRUE(FolderExists(dir / "*.xls"));
  EXPECT_FALSE(FolderExists(dir / "*.doc"));
  EXPECT_FALSE(FolderExists(dir / "missing/"));
}

TEST(SmallRoutines, ShortPathAndQuietDeletion) {
  TempDir dir;
  std::ofstream(dir / "f.txt") << "x";
  EXPECT_EQ(ShortPathOf(dir / "f.txt"), dir / "f.txt");
  EXPECT_EQ(ShortPathOf(dir.path().string()), dir.path().string());
  EXPECT_EQ(ShortPathOf(dir / "nothing"), "");
  DeleteFileQuiet(dir / "f.txt");
  EXPECT_FALSE(std::filesystem::exists(dir / "f.txt"));
  DeleteFileQuiet(dir / "f.txt");  // already gone: nothing happens
  EXPECT_FALSE(GetMachineName().empty());
  EXPECT_EQ(GetMachineName().find('.'), std::string::npos);
}

}  // namespace
}  // namespace norvo::test
