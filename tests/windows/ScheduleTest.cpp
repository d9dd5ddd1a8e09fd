// The configuration's two registrations on Windows: the weekly task through
// the SCHTASKS stand-in, which keeps the command lines it received, and the
// tray program's value under the machine-wide Run key.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "WineSupport.h"
#include "config/services/Registration.h"
#include "platform/Autostart.h"
#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::test {
namespace {

using ::testing::HasSubstr;

class ScheduleTest : public ::testing::Test {
 protected:
  std::string Calls() const { return ReadFile(dir_ / "calls"); }
  std::string Tasks() const { return ReadFile(dir_ / "tasks"); }
  bool Save(const std::string& days, const std::string& time, const std::string& password,
            std::string* why = nullptr) {
    return config::RegisterSchedule(days, time, "OFICINA", "usuario", password, why);
  }

  TempDir dir_;
  ScopedEnv tool_{"NORVO_SCHTASKS", ProgramPath("schtasks_standin")};
  ScopedEnv standin_{"SCHTASKS_STANDIN_DIR", dir_.path().string()};
  const std::string program_ = "\"'" + platform::ProgramFolder() + "Norvo_T.exe'\"";
};

TEST_F(ScheduleTest, SavingRegistersTheExactCommandLineHiddenAndTheNextSaveReplacesIt) {
  ASSERT_TRUE(Save(",MON,FRI,", "23:30", "clave"));
  EXPECT_EQ(Calls(), "/Create /tn \"NORVO BACKUP\" /tr " + program_ +
                         " /sc weekly /d MON,FRI /st 23:30:00 /ru OFICINA\\usuario /rp clave /F\nhidden\n");
  ASSERT_TRUE(Save(",SUN,", "07:05", "clave"));
  EXPECT_EQ(Tasks(), "NORVO BACKUP\t/Create /tn \"NORVO BACKUP\" /tr " + program_ +
                         " /sc weekly /d SUN /st 07:05:00 /ru OFICINA\\usuario /rp clave /F\n");
}

TEST_F(ScheduleTest, APasswordWithBlanksAndQuotesStaysOneArgument) {
  ASSERT_TRUE(Save(",TUE,", "06:15", "con blanco \"y\""));
  EXPECT_THAT(Calls(), HasSubstr(" /rp \"con blanco \\\"y\\\"\" /F\n"));
}

TEST_F(ScheduleTest, TheToolsRefusalComesBackInItsOwnWords) {
  ScopedEnv refuse("SCHTASKS_STANDIN_REFUSE", "ERROR: The user name or password is incorrect.");
  std::string why;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Save(",MON,", "10:00", "mala", &why));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "norvo: the task \"NORVO BACKUP\" was not registered: "
            "SCHTASKS: ERROR: The user name or password is incorrect.\n");
  EXPECT_EQ(why, "SCHTASKS: ERROR: The user name or password is incorrect.");
}

TEST_F(ScheduleTest, ABadTimeOrAMissingToolIsAFailureWithItsReason) {
  std::string why;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Save(",MON,", "__:__", "clave", &why));
  EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("is not hh:mm"));
  EXPECT_EQ(why, "la hora \"__:__\" no es una hora del día (hh:mm)");
  EXPECT_EQ(Calls(), "") << "the tool is not started";
  ScopedEnv missing("NORVO_SCHTASKS", dir_ / "no-such-schtasks.exe");
  EXPECT_FALSE(
      platform::RegisterWeeklyTask(config::BuildWeeklyTask(",MON,", "10:00", "", "u", "p", "C:\\"), &why));
  EXPECT_THAT(why, HasSubstr("no-such-schtasks.exe"));
}

class StartupTest : public ::testing::Test {
 protected:
  // The value as the shell finds it, read with the raw calls.
  std::wstring RunValue() {
    const std::wstring key =
        platform::Widen("Software\\" + store_.Root() +
                        "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    wchar_t data[512] = {};
    DWORD type = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Norvo Backup", RRF_RT_ANY, &type, data, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
      return L"(none)";
    }
    return data;
  }
  ScopedStore store_;
};

TEST_F(StartupTest, TheRunValueNamesTheTrayProgramQuotedWhenItHoldsABlank) {
  ASSERT_TRUE(platform::RegisterStartAtLogon("C:\\Program Files\\Norvo\\", "Norvo"));
  EXPECT_EQ(RunValue(), L"\"C:\\Program Files\\Norvo\\Norvo.exe\"");
  EXPECT_EQ(platform::StartAtLogonLocation(),
            "HKEY_CURRENT_USER\\Software\\" + store_.Root() +
                "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Norvo Backup");
  ASSERT_TRUE(config::RegisterStartup());
  EXPECT_EQ(platform::Narrow(RunValue()), platform::ProgramFolder() + "Norvo.exe");
}

TEST_F(StartupTest, ARefusedWriteIsReportedAndTheWindowGoesOn) {
  // The system refuses a lasting key below a volatile one, as it refuses a
  // user without administrator rights the machine-wide key.
  HKEY volatile_key = nullptr;
  const std::wstring hive = platform::Widen("Software\\" + store_.Root() + "\\HKEY_LOCAL_MACHINE");
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, hive.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &volatile_key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatile_key);
  std::string why;
  EXPECT_FALSE(platform::RegisterStartAtLogon("C:\\Norvo\\", "Norvo", &why));
  EXPECT_THAT(why, HasSubstr(platform::StartAtLogonLocation() + ": "));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(config::RegisterStartup());
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("norvo: start at log-on was not registered"));
  EXPECT_EQ(RunValue(), L"(none)");
}

}  // namespace
}  // namespace norvo::test
