#include "settings/AutomationDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/System.h"

namespace norvo::settings {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

// Day 0 of the Automation dates.
constexpr sys_days kEpoch = std::chrono::year{1899} / std::chrono::December / 30;

sys_days CivilDate(const std::tm& local) {
  return std::chrono::year{local.tm_year + 1900} /
         std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
         std::chrono::day{static_cast<unsigned>(local.tm_mday)};
}

// The part of a day as a fraction of one.
using DayFraction = std::chrono::duration<double, days::period>;

}  // namespace

double ToAutomationDate(std::time_t moment) {
  const std::tm local = platform::LocalTime(moment);
  const days whole = CivilDate(local) - kEpoch;
  const std::chrono::seconds time_of_day = std::chrono::hours{local.tm_hour} +
                                           std::chrono::minutes{local.tm_min} +
                                           std::chrono::seconds{local.tm_sec};
  return static_cast<double>(whole.count()) + DayFraction(time_of_day).count();
}

std::optional<WallClock> ReadAutomationDate(double date) {
  // 1 January 100 and 31 December 9999, the range of these dates.
  constexpr double kFirst = -657434, kLast = 2958466;
  if (!(date >= kFirst && date < kLast)) return std::nullopt;
  const double whole = std::floor(date);
  const std::chrono::duration<double> fraction = DayFraction(date - whole);
  std::chrono::seconds time_of_day{std::lround(fraction.count())};
  sys_days day = kEpoch + days{static_cast<int>(whole)};
  if (time_of_day >= days{1}) {  // the last half second of a day is the next midnight
    time_of_day -= days{1};
    day += days{1};
  }
  return WallClock{std::chrono::year_month_day{day}, time_of_day};
}

std::time_t FromAutomationDate(double date) {
  const std::optional<WallClock> clock = ReadAutomationDate(date);
  if (!clock) return -1;
  std::tm local{};
  local.tm_year = static_cast<int>(clock->day.year()) - 1900;
  local.tm_mon = static_cast<int>(static_cast<unsigned>(clock->day.month())) - 1;
  local.tm_mday = static_cast<int>(static_cast<unsigned>(clock->day.day()));
  local.tm_sec = static_cast<int>(clock->time_of_day.count());
  return platform::FromLocalTime(local);
}

std::string FormatRunDate(std::time_t moment) {
  std::tm local = platform::LocalTime(moment);
  char text[64];
  // Five numbers of a broken-down time: the text always fits.
  static_cast<void>(std::snprintf(text, sizeof(text), "%02d-%02d-%04d %02d:%02d", local.tm_mday,
                                  local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min));
  return text;
}

}  // namespace norvo::settings
