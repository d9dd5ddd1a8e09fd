// The catch-up and old-copy rules on the wall clock: the latest scheduled
// moment, when it counts as missed, which stored values are believed, and
// when the last complete copy is old.
#include <gtest/gtest.h>

#include "tray/CatchUpRule.h"

namespace norvo::test {
namespace {

using tray::LocalMinute;
using tray::WeeklySchedule;

// Monday 2 March 2026 is the first day of the week most cases use.
LocalMinute March(int day, int hour, int minute) { return {2026, 3, day, hour, minute}; }

WeeklySchedule Schedule(std::string_view days, std::string_view time) {
  std::string problem;
  std::optional<WeeklySchedule> schedule = tray::ParseSchedule(days, time, &problem);
  EXPECT_TRUE(schedule) << days << " " << time << ": " << problem;
  return schedule.value_or(WeeklySchedule{});
}

TEST(CatchUpRule, TheLatestMomentOfEachWeekday) {
  const char* codes[] = {",MON,", ",TUE,", ",WED,", ",THU,", ",FRI,", ",SAT,", ",SUN,"};
  // On Sunday 8 March at noon, Sunday's 23:00 has not come: its latest is a week ago.
  for (int day = 0; day < 7; ++day) {
    const LocalMinute expected = day < 6 ? March(2 + day, 23, 0) : LocalMinute{2026, 3, 1, 23, 0};
    EXPECT_EQ(tray::LatestScheduledMoment(Schedule(codes[day], "23:00"), March(8, 12, 0)), expected)
        << codes[day];
  }
  EXPECT_EQ(tray::LatestScheduledMoment(Schedule(",MON,FRI,", "9:30"), March(8, 12, 0)), March(6, 9, 30));
  // The scheduled minute itself is today's moment; the minute before is still last week's.
  EXPECT_EQ(tray::LatestScheduledMoment(Schedule(",SUN,", "12:00"), March(8, 12, 0)), March(8, 12, 0));
  EXPECT_EQ(tray::LatestScheduledMoment(Schedule(",SUN,", "12:00"), March(8, 11, 59)), March(1, 12, 0));
  EXPECT_EQ(tray::LatestScheduledMoment(WeeklySchedule{}, March(8, 12, 0)), std::nullopt);
}

TEST(CatchUpRule, AMomentIsMissedOnlyMoreThanFifteenMinutesAfterItAndWithoutALaterRun) {
  const WeeklySchedule friday = Schedule(",FRI,", "23:00");
  const LocalMinute last_run = {2026, 2, 27, 23, 5};
  EXPECT_FALSE(tray::IsMissed(friday, last_run, March(6, 22, 59)));  // the week before: it ran
  EXPECT_FALSE(tray::IsMissed(friday, last_run, March(6, 23, 15)));
  EXPECT_TRUE(tray::IsMissed(friday, last_run, March(6, 23, 16)));
  EXPECT_TRUE(tray::IsMissed(friday, std::nullopt, March(6, 23, 16)));
  EXPECT_FALSE(tray::IsMissed(friday, March(6, 23, 40), March(7, 8, 0)));
  // Across midnight: a Saturday 00:10 run is the latest moment on Saturday 00:26, not before.
  const WeeklySchedule saturday = Schedule(",SAT,", "00:10");
  const LocalMinute saturday_run = {2026, 2, 28, 0, 40};
  EXPECT_TRUE(tray::IsMissed(saturday, saturday_run, March(7, 0, 26)));
  EXPECT_FALSE(tray::IsMissed(saturday, saturday_run, March(6, 23, 59)));
}

TEST(CatchUpRule, AScheduleEditedAfterTheLastRunIsJudgedByItsOwnLatestMoment) {
  const LocalMinute friday_run = {2026, 2, 27, 23, 5};
  EXPECT_TRUE(tray::IsMissed(Schedule(",MON,", "23:00"), friday_run, March(4, 10, 0)));
  EXPECT_FALSE(tray::IsMissed(Schedule(",THU,", "23:00"), friday_run, March(4, 10, 0)));
  EXPECT_FALSE(tray::IsMissed(Schedule(",FRI,", "21:00"), friday_run, {2026, 2, 28, 10, 0}));
}

TEST(CatchUpRule, ClockChanges) {
  // Daylight saving time ends on Sunday 25 October 2026 at 03:00, back to
  // 02:00. A run that ended at 02:50 looks ahead of the clock for an hour
  // and is still believed: the 02:30 run is not made twice.
  const WeeklySchedule sunday = Schedule(",SUN,", "02:30");
  const LocalMinute second_pass = {2026, 10, 25, 2, 20};
  std::string problem;
  const auto last_run = tray::TrustedDate("Resp_RespFecha", "25-10-2026 02:50", second_pass, &problem);
  ASSERT_TRUE(last_run) << problem;
  EXPECT_FALSE(tray::IsMissed(sunday, last_run, second_pass));
  EXPECT_FALSE(tray::IsMissed(sunday, last_run, {2026, 10, 25, 2, 55}));
  // A date further ahead was written by a wrong clock: it is not believed, and that is said.
  EXPECT_FALSE(tray::TrustedDate("Resp_RespFecha", "25-10-2026 03:30", second_pass, &problem));
  EXPECT_NE(problem.find("future"), std::string::npos) << problem;
}

TEST(CatchUpRule, ValuesNotSetAreQuietAndValuesThatDoNotParseAreSaid) {
  std::string problem = "x";
  for (auto [days, time] : {std::pair{",", "23:00"}, {"", "23:00"}, {",MON,", ""}, {",MON,", "__:__"}}) {
    EXPECT_FALSE(tray::ParseSchedule(days, time, &problem)) << days << " " << time;
    EXPECT_EQ(problem, "");
  }
  EXPECT_FALSE(tray::ParseSchedule(",MON,LUN,", "23:00", &problem));
  EXPECT_NE(problem.find("\"LUN\""), std::string::npos) << problem;
  EXPECT_FALSE(tray::ParseSchedule(",MON,", "24:00", &problem));
  EXPECT_NE(problem.find("\"24:00\""), std::string::npos) << problem;
  EXPECT_FALSE(tray::TrustedDate("Resp_RespFecha", "", March(8, 12, 0), &problem));
  EXPECT_EQ(problem, "");
  for (const char* bad : {"31-02-2026 10:00", "2026-03-01 10:00", "01-03-2026 10:60", "1-3-2026 10:00"}) {
    EXPECT_FALSE(tray::TrustedDate("Resp_RespFecha", bad, March(8, 12, 0), &problem)) << bad;
    EXPECT_NE(problem.find("not a date"), std::string::npos) << problem;
  }
}

TEST(CatchUpRule, ACopyIsOldAfterTheLongestGapBetweenScheduledDaysPlusOneDay) {
  const LocalMinute copy = {2026, 2, 27, 23, 5};
  EXPECT_EQ(tray::LongestGapDays(Schedule(",FRI,", "23:00")), 7);
  EXPECT_FALSE(tray::IsCopyOld(Schedule(",FRI,", "23:00"), copy, March(7, 23, 5)));  // eight days
  EXPECT_TRUE(tray::IsCopyOld(Schedule(",FRI,", "23:00"), copy, March(7, 23, 6)));
  EXPECT_EQ(tray::LongestGapDays(Schedule(",MON,FRI,", "23:00")), 4);  // Monday to Friday
  EXPECT_TRUE(tray::IsCopyOld(Schedule(",MON,FRI,", "23:00"), copy, March(4, 23, 6)));
  EXPECT_EQ(tray::LongestGapDays(Schedule(",MON,TUE,WED,THU,FRI,SAT,SUN,", "23:00")), 1);
  EXPECT_TRUE(tray::IsCopyOld(Schedule(",FRI,", "23:00"), std::nullopt, March(8, 12, 0)));
}

}  // namespace
}  // namespace norvo::test
