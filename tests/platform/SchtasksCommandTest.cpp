// The SCHTASKS command that registers the weekly task on Windows: pure text,
// built and checked on every platform.
#include <gtest/gtest.h>

#include "platform/SchtasksCommand.h"

namespace norvo::test {
namespace {

// The weekly task of the Windows build: Norvo_T.exe at 23:30 on the days.
platform::WeeklyTask WindowsTask(const std::vector<std::string>& days, const std::string& domain,
                                 const std::string& password) {
  platform::WeeklyTask task;
  task.name = "NORVO BACKUP";
  task.program = "C:\\Prog\\Norvo_T.exe";
  task.day_codes = days;
  task.time = "23:30";
  task.domain = domain;
  task.user = "usuario";
  task.password = password;
  return task;
}

TEST(SchtasksCommand, MondayAndFridayUnderADomainAccount) {
  EXPECT_EQ(platform::SchtasksCommandLine(WindowsTask({"MON", "FRI"}, "OFICINA", "clave123")),
            "SCHTASKS /Create /tn \"NORVO BACKUP\" /tr \"'C:\\Prog\\Norvo_T.exe'\" /sc weekly "
            "/d MON,FRI /st 23:30:00 /ru OFICINA\\usuario /rp clave123 /F");
}

TEST(SchtasksCommand, OnlySundayAndEmptyDomain) {
  const std::string line = platform::SchtasksCommandLine(WindowsTask({"SUN"}, "", "x"));
  EXPECT_NE(line.find(" /d SUN /st "), std::string::npos) << line;
  EXPECT_NE(line.find(" /ru \\usuario /rp x /F"), std::string::npos) << line;
}

TEST(SchtasksCommand, UnfilledTimeIsPassedAsTyped) {
  platform::WeeklyTask task = WindowsTask({"MON"}, "D", "p");
  task.time = "__:__";
  EXPECT_EQ(platform::SchtasksArguments(task)[11], "__:__:00");
}

// Blanks and quotes stay inside their own argument instead of splitting the line.
TEST(SchtasksCommand, PasswordsAndPathsCannotSplitTheLine) {
  platform::WeeklyTask task = WindowsTask({"MON"}, "OFICINA", "dos palabras\"/F");
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

}  // namespace
}  // namespace norvo::test
