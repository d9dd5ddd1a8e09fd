// The configuration's two registrations on Windows: the weekly task through
// the SCHTASKS stand-in, which keeps the command lines it received, and the
// tray program's value under the machine-wide Run key; the task's "start when
// available" setting in the system's own task scheduler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <taskschd.h>
#include <windows.h>
#include <wrl/client.h>

#include "WineSupport.h"
#include "config/services/Registration.h"
#include "platform/Autostart.h"
#include "platform/ProcessIO.h"
#include "platform/System.h"
#include "platform/windows/ComText.h"
#include "platform/windows/WideText.h"

namespace norvo::test {
namespace {

using Microsoft::WRL::ComPtr;
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

TEST_F(ScheduleTest, NorvoSettingsRegistersShowsChecksAndRemovesTheTask) {
  ScopedStore store;
  // Wine starts its task scheduler service from the first program that asks
  // for it, and the service keeps that program's handles: asked for here, so
  // that it does not hold the tool's output pipe open for good.
  std::string why;
  platform::StartTaskWhenAvailable(config::ScheduleTask(",MON,", "10:00", "", "u", "p"), &why);
  const std::string tool = ProgramPath("norvo-settings");
  const std::string entry =
      "NORVO BACKUP: MON,FRI 07:05 OFICINA\\usuario " + platform::ProgramFolder() + "Norvo_T.exe\r\n";
  const platform::ProcessOutput registered = platform::RunWithInput(
      {tool, "schedule", "mon,fri", "7:05", "--account", "OFICINA\\usuario", "--password-stdin"}, "clave\n");
  ASSERT_TRUE(registered.result.Succeeded()) << registered.err;
  EXPECT_EQ(registered.out, entry);
  EXPECT_THAT(Calls(), HasSubstr(" /st 07:05:00 /ru OFICINA\\usuario /rp clave /F\n"));
  EXPECT_EQ(platform::RunWithInput({tool, "schedule", "--show"}, "").out, entry);
  EXPECT_THAT(platform::RunWithInput({tool, "check"}, "").out, HasSubstr("weekly task: " + entry));
  EXPECT_EQ(platform::RunWithInput({tool, "schedule", "--remove"}, "").out, entry);
  EXPECT_EQ(Tasks(), "");
  const platform::ProcessOutput none = platform::RunWithInput({tool, "schedule", "--show"}, "");
  EXPECT_EQ(none.result.exit_code, 1);
  EXPECT_THAT(none.err, HasSubstr("no weekly task \"NORVO BACKUP\" is registered"));
}

// A weekly task as SCHTASKS leaves it (Norvo_T on Fridays at 23:30, no start
// when available), registered in the system's task scheduler through its COM
// interface, read back the same way and deleted at the end.
class TaskSchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) {
      // A real scheduler checks the account the task runs under.
      const std::string account = platform::EnvironmentValue("NORVO_TEST_ACCOUNT");  // DOMAIN\user
      const std::size_t slash = account.find('\\');
      if (slash == std::string::npos)
        GTEST_SKIP() << "set NORVO_TEST_ACCOUNT=DOMAIN\\user and NORVO_TEST_PASSWORD";
      task_.domain = account.substr(0, slash);
      task_.user = account.substr(slash + 1);
      task_.password = platform::EnvironmentValue("NORVO_TEST_PASSWORD");
    }
    ASSERT_EQ(com_.Status(), S_OK);
    // Wine's service manager may refuse the scheduler's own start of its
    // service for some seconds while it starts its own services.
    if (UnderWine()) {
      ASSERT_TRUE(StartServiceAndWait(L"Schedule", std::chrono::seconds(60)));
    }
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service_)));
    ASSERT_HRESULT_SUCCEEDED(service_->Connect(none_.get(), none_.get(), none_.get(), none_.get()));
    ASSERT_HRESULT_SUCCEEDED(service_->GetFolder(platform::ComText("\\").get(), &root_));
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
        "<Triggers><CalendarTrigger><StartBoundary>2024-01-05T23:30:00</StartBoundary><ScheduleByWeek>"
        "<DaysOfWeek><Friday "
        "/></DaysOfWeek><WeeksInterval>1</WeeksInterval></ScheduleByWeek></CalendarTrigger>"
        "</Triggers><Actions><Exec><Command>C:\\Norvo\\Norvo_T.exe</Command></Exec></Actions></Task>";
    ComPtr<IRegisteredTask> created;
    ASSERT_HRESULT_SUCCEEDED(root_->RegisterTask(
        platform::ComText(task_.name).get(), platform::ComText(xml).get(), TASK_CREATE_OR_UPDATE,
        platform::TextVariant(task_.domain + "\\" + task_.user).get(),
        platform::TextVariant(task_.password).get(), TASK_LOGON_PASSWORD, none_.get(), &created));
  }
  void TearDown() override {
    if (root_) root_->DeleteTask(platform::ComText(task_.name).get(), 0);
  }
  ComPtr<IRegisteredTask> Registered() {
    ComPtr<IRegisteredTask> task;
    EXPECT_HRESULT_SUCCEEDED(root_->GetTask(platform::ComText(task_.name).get(), &task));
    return task;
  }
  bool StartsWhenAvailable() {
    ComPtr<ITaskDefinition> definition;
    ComPtr<ITaskSettings> settings;
    VARIANT_BOOL value = VARIANT_FALSE;
    const ComPtr<IRegisteredTask> task = Registered();
    return task && SUCCEEDED(task->get_Definition(&definition)) &&
           SUCCEEDED(definition->get_Settings(&settings)) &&
           SUCCEEDED(settings->get_StartWhenAvailable(&value)) && value == VARIANT_TRUE;
  }

  // Under Wine any account will do.
  static platform::WeeklyTask TestTask() {
    platform::WeeklyTask task;
    task.name = "NORVO PRUEBA " + std::to_string(GetCurrentProcessId());
    task.domain = "OFICINA";
    task.user = "usuario";
    task.password = "clave";
    return task;
  }

  platform::WeeklyTask task_ = TestTask();
  platform::ComScope com_;
  platform::TextVariant none_;
  ComPtr<ITaskService> service_;
  ComPtr<ITaskFolder> root_;
};

TEST_F(TaskSchedulerTest, TheTaskStartsWhenAvailableAfterwardsAndAMissingTaskIsReported) {
  EXPECT_FALSE(StartsWhenAvailable());
  std::string why;
  ASSERT_TRUE(platform::StartTaskWhenAvailable(task_, &why)) << why;
  EXPECT_TRUE(StartsWhenAvailable());
  platform::WeeklyTask missing = task_;
  missing.name += " SIN REGISTRAR";
  EXPECT_FALSE(platform::StartTaskWhenAvailable(missing, &why));
  EXPECT_THAT(why, HasSubstr("reading the task \"" + missing.name + "\": 0x80070002"));
}

TEST_F(TaskSchedulerTest, TheUpdateKeepsTheScheduleAndTheProgram) {
  if (UnderWine()) {
    GTEST_SKIP() << "Wine's task scheduler keeps no trigger and no program of any task it registers "
                    "(it writes <Triggers/> and an empty <Exec/>): only a real Windows shows them kept";
  }
  std::string why;
  ASSERT_TRUE(platform::StartTaskWhenAvailable(task_, &why)) << why;
  BSTR xml = nullptr;
  ASSERT_HRESULT_SUCCEEDED(Registered()->get_Xml(&xml));
  const std::string kept = platform::TakeComText(xml);
  EXPECT_THAT(kept, HasSubstr("Friday"));
  EXPECT_THAT(kept, HasSubstr("2024-01-05T23:30:00"));
  EXPECT_THAT(kept, HasSubstr("C:\\Norvo\\Norvo_T.exe"));
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
