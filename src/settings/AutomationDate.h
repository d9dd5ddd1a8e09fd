#pragma once
// Automation dates: days since 30 December 1899 (midnight) as a double, with
// the fraction giving the time of day, in local time. And the run date text
// "DD-MM-YYYY hh:mm", with the wall-clock minute it names.
#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace norvo::settings {

double ToAutomationDate(std::time_t moment);
// The moment of a date in local time; -1 for a value that is no date.
std::time_t FromAutomationDate(double date);

// The day on the calendar and the time on the clock an Automation date
// stands for, to the nearest second (a half second rounds up). Nothing for a
// value that is no date of the years 100 to 9999 (NaN and infinities too).
struct WallClock {
  std::chrono::year_month_day day;
  std::chrono::seconds time_of_day;  // 0 to 86399
};
std::optional<WallClock> ReadAutomationDate(double date);
// "DD-MM-YYYY hh:mm": two-digit day and month, four-digit year, 24-hour clock.
std::string FormatRunDate(std::time_t moment);

// A date and time on the local wall clock, to the minute: what a run date holds.
struct LocalMinute {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  friend bool operator==(const LocalMinute&, const LocalMinute&) = default;
};

// Minutes since 30 December 1899 00:00 on the wall clock, and back. The
// difference of two counts is in wall-clock minutes: a daylight-saving
// change of the clock does not show in it.
long long MinuteCount(const LocalMinute& when);
LocalMinute FromMinuteCount(long long count);
// The day of the week, 0 for Monday to 6 for Sunday.
int Weekday(const LocalMinute& when);
// The local wall-clock minute of a moment.
LocalMinute LocalMinuteOf(std::time_t moment);
// A run date "DD-MM-YYYY hh:mm" back into its parts; nothing when the text is
// not in that form or names no real date and time.
std::optional<LocalMinute> ParseRunDate(std::string_view text);

}  // namespace norvo::settings
