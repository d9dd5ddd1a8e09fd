#pragma once
// Automation dates: days since 30 December 1899 (midnight) as a double, with
// the fraction giving the time of day, in local time.
#include <chrono>
#include <ctime>
#include <optional>
#include <string>

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

}  // namespace norvo::settings
