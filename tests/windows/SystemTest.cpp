// System facts on kernel32, local time without the C library, and where
// the provider file is looked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
// aclapi.h and sddl.h need the types of windows.h first.
#include <aclapi.h>
#include <sddl.h>

#include <filesystem>

#include "WineSupport.h"
#include "platform/System.h"
#include "platform/windows/WideText.h"
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

// The SIDs (as "S-1-...") that the DACL of the path lets in; "unprotected"
// first when it inherits from the folder above.
std::vector<std::string> AllowedSids(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::vector<std::string> sids;
  if (GetNamedSecurityInfoW(platform::Widen(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return {"unreadable"};
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  if ((control & SE_DACL_PROTECTED) == 0) sids.emplace_back("unprotected");
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace) || static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &text)) {
      sids.push_back(platform::Narrow(text));
      LocalFree(text);
    }
  }
  LocalFree(descriptor);
  return sids;
}

// Work files are shut to the computer's other users: the folder's DACL is
// its own, and what is made in it inherits the same entries.
TEST(WindowsSystem, APrivateFolderLetsInOnlyTheUserAndTheSystem) {
  if (UnderWine())
    GTEST_SKIP()
        << "Wine keeps no DACL of a file: it reads one back from the Unix mode (the user, SYSTEM, Everyone)";
  TempDir dir;
  const std::string folder = dir / "privada";
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(platform::MakePrivate(folder));
  WriteFile(folder + "\\BD05C001.BAK", "dump");
  const std::vector<std::string> expected = {"S-1-5-18", "S-1-5-32-544", "S-1-5-80-0"};
  for (const std::string& path : {folder, folder + "\\BD05C001.BAK"}) {
    SCOPED_TRACE(path);
    std::vector<std::string> sids = AllowedSids(path);
    ASSERT_GE(sids.size(), 4u) << "one entry for the user besides SYSTEM, the Administrators and services";
    EXPECT_THAT(sids, ::testing::IsSupersetOf(expected));
    EXPECT_THAT(sids,
                ::testing::Each(::testing::Not(::testing::AnyOf("S-1-1-0", "S-1-5-11", "S-1-5-32-545"))));
  }
  EXPECT_THAT(AllowedSids(folder), ::testing::Not(::testing::Contains("unprotected")));
  EXPECT_FALSE(platform::MakePrivate(folder + "\\missing"));
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
