// The two registrations of the configuration window on the platform's own:
// the weekly task a save builds from the window's texts and registers
// (through a stand-in crontab program), and the start at log-on of the
// running program; a failure leaves a line on stderr.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/services/Registration.h"
#include "platform/System.h"
#include "platform/posix/Accounts.h"
#include "support/Files.h"
#include "support/RegistrationFixtures.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

TEST(WeeklyTask, BuiltFromTheWindowTexts) {
  const platform::WeeklyTask task =
      config::BuildWeeklyTask(",MON,WED,SUN,", "07:05", "DOM", "ana", "pw", "/opt/norvo/");
  EXPECT_EQ(task.name, "NORVO BACKUP");
  EXPECT_EQ(task.program, "/opt/norvo/Norvo_T");
  EXPECT_EQ(task.day_codes, (std::vector<std::string>{"MON", "WED", "SUN"}));
  EXPECT_EQ(task.time, "07:05");
  EXPECT_EQ(task.domain + "|" + task.user + "|" + task.password, "DOM|ana|pw");
  EXPECT_TRUE(config::DayCodes(",").empty());
}

TEST(WeeklyTask, TheRunGetsTheStoreAndProviderFileOfThisProgram) {
  ScopedEnv registry("NORVO_REGISTRY", "datos/r.db");  // relative: the run starts elsewhere
  ScopedEnv provider("NORVO_PROVIDER_CONF", "/etc/norvo/otro.ini");
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(config::TaskEnvironment(),
            (std::vector<std::pair<std::string, std::string>>{
                {"NORVO_REGISTRY", here + "/datos/r.db"}, {"NORVO_PROVIDER_CONF", "/etc/norvo/otro.ini"}}));
  ScopedEnv no_registry("NORVO_REGISTRY", "");
  EXPECT_EQ(config::TaskEnvironment().size(), 1u);
}

TEST_F(CrontabStandInTest, AnAccountWithoutATableGetsOne) {
  ASSERT_TRUE(config::RegisterSchedule(",SAT,", "12:00", "", me_, "pw"));
  EXPECT_NE(Table(me_).find("0 12 * * 6 '"), std::string::npos) << Table(me_);
}

TEST_F(CrontabStandInTest, ARefusedTableIsReportedOnStderr) {
  ScopedEnv refuse("CRONTAB_STANDIN_REFUSE", "1");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(config::RegisterSchedule(",MON,", "10:00", "", me_, "pw"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "norvo: the task \"NORVO BACKUP\" was not registered: "
            "crontab: errors in crontab file, can't install.\n");
}

TEST_F(CrontabStandInTest, ABadTimeStartsNoCrontab) {
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(config::RegisterSchedule(",MON,", "__:__", "", me_, "pw"));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("is not hh:mm"), std::string::npos);
  EXPECT_EQ(Calls(), "");
}

TEST_F(AutostartFolderTest, AnUnusableFolderIsSaidOnStderr) {
  WriteFile(home_ / "config", "a file where the folder should be");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(config::RegisterStartup());
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("norvo: start at log-on was not registered"),
            std::string::npos);
}

TEST_F(AutostartFolderTest, TheWindowRegistersTheRunningProgramsFolder) {
  ASSERT_TRUE(config::RegisterStartup());
  EXPECT_NE(Entry().find(platform::ProgramFolder() + "Norvo\n"), std::string::npos) << Entry();
}

}  // namespace
}  // namespace norvo::test
