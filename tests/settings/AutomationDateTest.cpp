#include <gtest/gtest.h>

#include "platform/System.h"
#include "settings/AutomationDate.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

std::time_t Local(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  return platform::FromLocalTime(t);
}

TEST(AutomationDate, CountsDaysFromTheLastDayOf1899InLocalTime) {
  ScopedEnv tz("TZ", "America/Santiago");
  ::tzset();
  EXPECT_DOUBLE_EQ(ToAutomationDate(Local(1899, 12, 30, 0, 0)), 0.0);
  EXPECT_DOUBLE_EQ(ToAutomationDate(Local(1900, 1, 1, 0, 0)), 2.0);
  EXPECT_DOUBLE_EQ(ToAutomationDate(Local(2000, 1, 1, 18, 0)), 36526.75);
  std::time_t moment = Local(2026, 12, 7, 5, 56);
  EXPECT_EQ(FromAutomationDate(ToAutomationDate(moment)), moment);
  EXPECT_EQ(FromAutomationDate(2.5 / 86400), Local(1899, 12, 30, 0, 0) + 3) << "half a second rounds up";
}

TEST(AutomationDate, RunDateHasTwoDigitFieldsAnd24HourClock) {
  ScopedEnv tz("TZ", "UTC");
  ::tzset();
  EXPECT_EQ(FormatRunDate(Local(2026, 3, 5, 7, 4)), "05-03-2026 07:04");
  EXPECT_EQ(FormatRunDate(Local(2026, 12, 31, 23, 59)), "31-12-2026 23:59");
}

}  // namespace
}  // namespace norvo::test
