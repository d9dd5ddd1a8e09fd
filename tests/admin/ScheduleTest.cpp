// schedule registers the window's weekly task from the command line, through
// the crontab stand-in: it prints the line, stores the days and time, shows
// and removes the task, and on a refusal says the tool's words and stores nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "settings/Base64.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using settings::ReadSetting;
using ::testing::HasSubstr;

using ScheduleTest = SettingsToolTest;

TEST_F(ScheduleTest, RegistersShowsAndRemovesTheTaskOfTheWindow) {
  WriteFile(dir_ / ("table." + me_), "0 4 * * * /usr/bin/other\n");
  const ToolRun registered = Tool({"schedule", "mon,Fri", "7:05"});
  ASSERT_EQ(registered.status, 0) << registered.err;
  EXPECT_EQ(registered.out, TaskLine("5 7 * * 1,5") + "\n");
  EXPECT_EQ(ReadSetting("Resp_ProgSem"), ",MON,FRI,");
  EXPECT_EQ(ReadSetting("Resp_ProgHora"), "07:05");
  EXPECT_EQ(Table(me_), "0 4 * * * /usr/bin/other\n" + TaskLine("5 7 * * 1,5") + "\n");
  ASSERT_EQ(Tool({"schedule", ",SUN,", "23:30"}).status, 0);
  EXPECT_EQ(Tool({"schedule", "--show"}).out, TaskLine("30 23 * * 0") + "\n");
  EXPECT_EQ(Tool({"schedule", "--remove"}).out, TaskLine("30 23 * * 0") + "\n");
  EXPECT_EQ(Table(me_), "0 4 * * * /usr/bin/other\n");
  const ToolRun none = Tool({"schedule", "--show"});
  EXPECT_EQ(none.status, 1);
  EXPECT_THAT(none.err, HasSubstr("no weekly task \"NORVO BACKUP\" is registered"));
  EXPECT_EQ(Tool({"schedule", "--remove"}).status, 0) << "nothing to remove is no failure";
}

TEST_F(ScheduleTest, AnotherAccountAndItsPasswordAreStoredEncoded) {
  const ToolRun run = Tool({"schedule", "WED", "08:00", "--account", "OFICINA\\usuario", "--password-stdin"},
                           "clave de usuario\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Table("OFICINA\\usuario"), TaskLine("0 8 * * 3") + "\n");
  EXPECT_EQ(settings::DecodeSetting(ReadSetting("Resp_ProgWDom")), "OFICINA");
  EXPECT_EQ(settings::DecodeSetting(ReadSetting("Resp_ProgWUsr")), "usuario");
  EXPECT_EQ(settings::DecodeSetting(ReadSetting("Resp_ProgWPas")), "clave de usuario");
  // Later calls find the stored account.
  EXPECT_EQ(Tool({"schedule", "--show"}).out, TaskLine("0 8 * * 3") + "\n");
  EXPECT_THAT(Calls(), HasSubstr("-u OFICINA\\usuario -l\n"));
}

TEST_F(ScheduleTest, BadDaysOrTimeAndARefusedTableStoreNothing) {
  for (const auto& [days, time] : std::vector<std::pair<std::string, std::string>>{
           {"LUN", "10:00"}, {",", "10:00"}, {"MON", "25:00"}, {"MON", "__:__"}}) {
    const ToolRun run = Tool({"schedule", days, time});
    EXPECT_EQ(run.status, 2) << days << " " << time;
    EXPECT_THAT(run.err, HasSubstr("nothing was written"));
  }
  EXPECT_EQ(Calls(), "") << "no crontab was started";
  ScopedEnv refuse("CRONTAB_STANDIN_REFUSE", "1");
  const ToolRun refused = Tool({"schedule", "MON", "10:00"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "norvo-settings: the weekly task was not registered: crontab: errors in crontab file, can't "
            "install.\n");
  EXPECT_EQ(ReadSetting("Resp_ProgSem"), "");
  EXPECT_FALSE(std::filesystem::exists(home_ / "registry.db"));
}

}  // namespace
}  // namespace norvo::test
