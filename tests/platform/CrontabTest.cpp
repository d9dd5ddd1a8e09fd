// The weekly task as a crontab line: its text, its place among the account's
// other lines (replaced, found, removed), and its installation through a stand-in crontab program.
#include <gtest/gtest.h>

#include "platform/ProcessIO.h"
#include "platform/posix/Accounts.h"
#include "platform/posix/CrontabText.h"
#include "settings/Text.h"
#include "support/Files.h"
#include "support/RegistrationFixtures.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using platform::crontab::DayNumbers;
using platform::crontab::FindTaskLine;
using platform::crontab::MergeTaskLine;
using platform::crontab::RemoveTaskLines;
using platform::crontab::TaskLine;

// The task a save registers: Norvo_T of the folder on the days of ",MON,FRI,"
// at the time, for the account that runs the tests.
platform::WeeklyTask Task(const std::string& days, const std::string& time,
                          const std::string& folder = "/opt/norvo/") {
  platform::WeeklyTask task;
  task.name = "NORVO BACKUP";
  task.program = folder + "Norvo_T";
  for (const std::string& code : settings::Split(days, ",")) {
    if (!code.empty()) task.day_codes.push_back(code);
  }
  task.time = time;
  task.user = platform::CurrentUserName();
  task.password = "pw";
  return task;
}

TEST(CrontabText, DayCodesBecomeNumbers) {
  EXPECT_EQ(DayNumbers({"MON", "FRI"}), "1,5");
  EXPECT_EQ(DayNumbers({"SUN"}), "0");
  EXPECT_EQ(DayNumbers({"TUE", "WED", "THU", "SAT"}), "2,3,4,6");
  EXPECT_EQ(DayNumbers({"MON", "XYZ"}), std::nullopt);
  EXPECT_EQ(DayNumbers({}), std::nullopt);
}

TEST(CrontabText, StartTimes) {
  EXPECT_EQ(platform::ParseTaskTime("23:30")->hour, 23);
  EXPECT_EQ(platform::ParseTaskTime("7:05")->minute, 5);
  for (const char* bad : {"__:__", "  :  ", "24:00", "12:60", "1230", "12:3", "", ":30", "123:00"}) {
    EXPECT_FALSE(platform::ParseTaskTime(bad).has_value()) << bad;
  }
}

TEST(CrontabText, TheTaskLine) {
  std::string error;
  EXPECT_EQ(TaskLine(Task(",MON,FRI,", "23:30"), &error),
            "30 23 * * 1,5 '/opt/norvo/Norvo_T' # NORVO BACKUP");
  EXPECT_EQ(TaskLine(Task(",SUN,", "07:05"), &error), "5 7 * * 0 '/opt/norvo/Norvo_T' # NORVO BACKUP");
  // A quote ends and reopens the shell quotes; cron would cut the line at a bare %.
  EXPECT_EQ(TaskLine(Task(",MON,", "1:00", "/srv/50% it's/"), &error),
            "0 1 * * 1 '/srv/50\\% it'\\''s/Norvo_T' # NORVO BACKUP");
  // The variables the run needs come before the program, quoted the same way.
  platform::WeeklyTask task = Task(",MON,", "1:00");
  task.environment = {{"NORVO_REGISTRY", "/srv/50% it's/r.db"}, {"NORVO_PROVIDER_CONF", "/etc/p.ini"}};
  EXPECT_EQ(TaskLine(task, &error),
            "0 1 * * 1 NORVO_REGISTRY='/srv/50\\% it'\\''s/r.db' NORVO_PROVIDER_CONF='/etc/p.ini' "
            "'/opt/norvo/Norvo_T' # NORVO BACKUP");
}

TEST(CrontabText, LinesThatCannotBeWrittenAreRefused) {
  std::string error;
  EXPECT_FALSE(TaskLine(Task(",MON,", "__:__"), &error));
  EXPECT_NE(error.find("__:__"), std::string::npos);
  EXPECT_FALSE(TaskLine(Task(",", "10:00"), &error));
  EXPECT_FALSE(TaskLine(Task(",MON,", "10:00", "/opt/a\nb/"), &error));
  platform::WeeklyTask task = Task(",MON,", "10:00");
  task.environment = {{"NORVO_REGISTRY", "/a\n* * * * * evil"}};
  EXPECT_FALSE(TaskLine(task, &error));
}

TEST(CrontabText, MergeReplacesOnlyTheTaskLine) {
  const std::string others =
      "MAILTO=admin@example.com\n"
      "# 30 23 * * 1 a comment\n"
      "0 1 * * * /usr/bin/other-backup # NORVO BACKUPS\n";
  const std::string existing = others + "30 23 * * 1 '/old/Norvo_T' # NORVO BACKUP\r\n" +
                               "15 2 * * 0 '/old/Norvo_T' # NORVO BACKUP   \n" + "@reboot x";
  EXPECT_EQ(MergeTaskLine(existing, "NORVO BACKUP", "NEW"), others + "@reboot x\nNEW\n");
  EXPECT_EQ(MergeTaskLine("", "NORVO BACKUP", "NEW"), "NEW\n");
  EXPECT_EQ(RemoveTaskLines(existing, "NORVO BACKUP"), others + "@reboot x\n");
  EXPECT_EQ(FindTaskLine(existing, "NORVO BACKUP"), "15 2 * * 0 '/old/Norvo_T' # NORVO BACKUP");
  EXPECT_EQ(FindTaskLine(others, "NORVO BACKUP"), "");
}

TEST_F(CrontabStandInTest, SavingTwiceLeavesOneLineWithTheLastDays) {
  WriteFile(dir_ / ("table." + me_), "MAILTO=\"\"\n0 4 * * * /usr/bin/true\n");
  ASSERT_TRUE(platform::RegisterWeeklyTask(Task(",MON,FRI,", "23:30")));
  ASSERT_TRUE(platform::RegisterWeeklyTask(Task(",TUE,", "06:15")));
  EXPECT_EQ(Table(me_),
            "MAILTO=\"\"\n0 4 * * * /usr/bin/true\n"
            "15 6 * * 2 '/opt/norvo/Norvo_T' # NORVO BACKUP\n");
  EXPECT_EQ(Calls(), "-l\n-\n-l\n-\n");
}

TEST_F(CrontabStandInTest, AnotherAccountIsNamedToCrontab) {
  platform::WeeklyTask task = Task(",WED,", "08:00");
  task.user = "usuario";
  ASSERT_TRUE(platform::RegisterWeeklyTask(task));
  EXPECT_EQ(Calls(), "-u usuario -l\n-u usuario -\n");
  EXPECT_EQ(Table("usuario"), "0 8 * * 3 '/opt/norvo/Norvo_T' # NORVO BACKUP\n");
  task.domain = "OFICINA";
  ASSERT_TRUE(platform::RegisterWeeklyTask(task));
  EXPECT_EQ(Table("OFICINA\\usuario"), Table("usuario"));
}

TEST_F(CrontabStandInTest, TheRealCrontabAcceptsTheTable) {
  WriteFile(dir_ / ("table." + me_), "# kept\n");
  platform::WeeklyTask task = Task(",MON,SUN,", "0:00", "/srv/50% it's/");
  task.environment = {{"NORVO_REGISTRY", "/srv/50% it's/r.db"}};
  ASSERT_TRUE(platform::RegisterWeeklyTask(task));
  const platform::ProcessOutput check = platform::RunWithInput({"crontab", "-n", "-"}, Table(me_));
  // cron is in the dependency lists: a missing crontab fails, never passes silently.
  ASSERT_TRUE(check.result.started) << "no crontab program (scripts/install-deps installs cron): "
                                    << check.result.error;
  EXPECT_TRUE(check.result.Succeeded()) << check.err << Table(me_);
}

// Only the lines we can read are kept; when they cannot be read nothing is written.
TEST_F(CrontabStandInTest, AnUnreadableTableIsLeftAlone) {
  WriteFile(dir_ / ("table." + me_), "0 4 * * * precious\n");
  ScopedEnv list_fails("CRONTAB_STANDIN_LIST_FAILS", "1");
  std::string error;
  EXPECT_FALSE(platform::RegisterWeeklyTask(Task(",MON,", "10:00"), &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
  EXPECT_EQ(Table(me_), "0 4 * * * precious\n");
  EXPECT_EQ(Calls(), "-l\n");
}

TEST_F(CrontabStandInTest, AMissingCrontabProgramIsAFailure) {
  ScopedEnv missing("NORVO_CRONTAB", dir_ / "no-such-crontab");
  std::string error;
  EXPECT_FALSE(platform::RegisterWeeklyTask(Task(",MON,", "10:00"), &error));
  EXPECT_NE(error.find("no-such-crontab"), std::string::npos) << error;
}

}  // namespace
}  // namespace norvo::test
