// The weekly task: the SCHTASKS line of the Windows backend, and the task a
// save builds from the window's texts.
#include <gtest/gtest.h>

#include "config/services/Registration.h"
#include "platform/SchtasksCommand.h"

namespace norvo {
namespace {

platform::WeeklyTask WindowsTask(const std::string& day_text, const std::string& domain,
                                 const std::string& password) {
  platform::WeeklyTask task =
      config::BuildWeeklyTask(day_text, "23:30", domain, "usuario", password, "C:\\Prog\\");
  task.program = "C:\\Prog\\Norvo_T.exe";  // the Windows build names it so
  return task;
}

TEST(SchtasksCommand, MondayAndFridayUnderADomainAccount) {
  EXPECT_EQ(platform::SchtasksCommandLine(WindowsTask(",MON,FRI,", "OFICINA", "clave123")),
            "SCHTASKS /Create /tn \"NORVO BACKUP\" /tr \"'C:\\Prog\\Norvo_T.exe'\" /sc weekly "
            "/d MON,FRI /st 23:30:00 /ru OFICINA\\usuario /rp clave123 /F");
}

TEST(SchtasksCommand, OnlySundayAndEmptyDomain) {
  const std::string line = platform::SchtasksCommandLine(WindowsTask(",SUN,", "", "x"));
  EXPECT_NE(line.find(" /d SUN /st "), std::string::npos) << line;
  EXPECT_NE(line.find(" /ru \\usuario /rp x /F"), std::string::npos) << line;
}

TEST(SchtasksCommand, UnfilledTimeIsPassedAsTyped) {
  platform::WeeklyTask task = WindowsTask(",MON,", "D", "p");
  task.time = "__:__";
  EXPECT_EQ(platform::SchtasksArguments(task)[11], "__:__:00");
}

// Blanks and quotes stay inside their own argument instead of splitting the line.
TEST(SchtasksCommand, PasswordsAndPathsCannotSplitTheLine) {
  platform::WeeklyTask task = WindowsTask(",MON,", "OFICINA", "dos palabras\"/F");
  task.program = "C:\\Program Files\\Norvo\\Norvo_T.exe";
  const std::string line = platform::SchtasksCommandLine(task);
  EXPECT_NE(line.find("/tr \"'C:\\Program Files\\Norvo\\Norvo_T.exe'\" /sc"), std::string::npos) << line;
  EXPECT_NE(line.find("/rp \"dos palabras\\\"/F\" /F"), std::string::npos) << line;
  task.password = "";
  EXPECT_NE(platform::SchtasksCommandLine(task).find("/rp \"\" /F"), std::string::npos);
}

TEST(SchtasksCommand, QuotingFollowsTheWindowsRuntimeRules) {
  EXPECT_EQ(platform::QuoteWindowsArgument("plain"), "plain");
  EXPECT_EQ(platform::QuoteWindowsArgument("a\\b"), "a\\b");
  EXPECT_EQ(platform::QuoteWindowsArgument("a b\\"), "\"a b\\\\\"");
  EXPECT_EQ(platform::QuoteWindowsArgument("say \\\"hi"), "\"say \\\\\\\"hi\"");
  EXPECT_EQ(platform::QuoteWindowsArgument("x", true), "\"x\"");
}

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

}  // namespace
}  // namespace norvo
