// System facts on kernel32, local time without the C library, and where
// the provider file is looked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "WineSupport.h"
#include "platform/System.h"
#include "run/Transfer.h"
#include "settings/AutomationDate.h"
#include "settings/ProviderConfig.h"

namespace norvo::test {
namespace {

TEST(WindowsSystem, FixedDrivesAreLetterRootsWithTheirFreeSpace) {
  const std::vector<platform::Drive> drives = platform::WritableLocalDrives();
  ASSERT_FALSE(drives.empty());
  for (const platform::Drive& drive : drives) {
    ASSERT_EQ(drive.root.size(), 3u);
    EXPECT_TRUE(drive.root[0] >= 'A' && drive.root[0] <= 'Z') << drive.root;
    EXPECT_EQ(drive.root.substr(1), ":\\");
    EXPECT_EQ(GetDriveTypeA(drive.root.c_str()), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_GT(drive.free_gib, 0.0);
  }
  EXPECT_EQ(platform::DriveRootFromSetting("d: [Datos]"), "d:\\");
  EXPECT_EQ(platform::DriveRootFromSetting(""), "");
  EXPECT_FALSE(run::PickWorkDrive().empty());
}

TEST(WindowsSystem, ComputerNameIsTheSystemsName) {
  char name[256] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(run::GetMachineName(), std::string(name, size));
}

TEST(WindowsSystem, FolderSearchShortPathsAndQuietDeletion) {
  TempDir dir;
  const std::string folder = dir / "Año 2024\\";
  ASSERT_TRUE(platform::CreateFolder(folder));
  EXPECT_FALSE(run::FolderExists(folder)) << "an empty folder holds no file";
  ASSERT_TRUE(platform::CreateFolder(folder + "sub"));
  EXPECT_FALSE(run::FolderExists(folder)) << "a folder is no file";
  WriteFile(folder + "libro.xls", "x");
  EXPECT_TRUE(run::FolderExists(folder));
  EXPECT_TRUE(platform::AnyFileMatches(folder + "*.XLS"));
  EXPECT_FALSE(platform::AnyFileMatches(folder + "*.doc"));
  const std::string shorter = run::ShortPathOf(folder + "libro.xls");
  EXPECT_FALSE(shorter.empty());
  EXPECT_TRUE(platform::FileExists(shorter));
  EXPECT_EQ(run::ShortPathOf(folder + "missing.xls"), "");
  run::DeleteFileQuiet(folder + "libro.xls");
  run::DeleteFileQuiet(folder + "libro.xls");
  EXPECT_FALSE(platform::FileExists(folder + "libro.xls"));
  EXPECT_TRUE(platform::IsWritableFolder(folder));
  EXPECT_FALSE(platform::IsWritableFolder(folder + "missing"));
}

TEST(WindowsSystem, LocalTimeRoundTripsBefore1970AndAfter) {
  for (std::time_t moment : {std::time_t{-2208988800}, std::time_t{-86400}, std::time_t{0},
                             std::time_t{1700000000}, std::time_t{4102444800}}) {
    EXPECT_EQ(platform::FromLocalTime(platform::LocalTime(moment)), moment) << moment;
    EXPECT_EQ(settings::FromAutomationDate(settings::ToAutomationDate(moment)), moment) << moment;
  }
  const std::tm start = platform::LocalTime(settings::FromAutomationDate(0));
  EXPECT_EQ(start.tm_year + 1900, 1899);
  EXPECT_EQ(start.tm_mon + 1, 12);
  EXPECT_EQ(start.tm_mday, 30);
  EXPECT_EQ(start.tm_hour, 0);
}

TEST(WindowsProviderFile, LookedForInTheEnvironmentThenBesideTheProgramThenInProgramData) {
  TempDir dir;
  ScopedEnv data("ProgramData", dir.path().string());
  ScopedEnv named("NORVO_PROVIDER_CONF", "");
  EXPECT_EQ(settings::ProviderConfigPath(), "") << "none exists yet";
  std::filesystem::create_directories(dir / "Norvo");
  const std::string shared = dir / "Norvo\\provider.ini";
  WriteFile(shared, "[provider]\nservice_host = shared:1 ; the machine's\n[otro]\nservice_host = no\n");
  EXPECT_EQ(settings::ProviderConfigPath(), shared);
  EXPECT_EQ(settings::LoadProviderConfig()->service_host, "shared:1");
  const std::string beside = platform::ProgramFolder() + "provider.ini";
  WriteFile(beside, "[provider]\nservice_host = beside:2\n");
  EXPECT_EQ(settings::ProviderConfigPath(), beside);
  {
    ScopedEnv file("NORVO_PROVIDER_CONF", shared);
    EXPECT_EQ(settings::ProviderConfigPath(), shared);
  }
  std::filesystem::remove(beside);
  EXPECT_EQ(settings::ProviderConfig{}.odbc_driver, "SQL Server");
}

}  // namespace
}  // namespace norvo::test
