#include "settings/AutomationDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number of text[from, from + width), all digits.
std::optional<int> Digits(std::string_view text, std::size_t from, std::size_t width) {
  int value = 0;
  for (std::size_t i = from; i < from + width; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

constexpr long long kMinutesPerDay = 24LL * 60;

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

namespace {

// The day of a wall-clock minute; a day past the month's end runs into the next month.
sys_days DayOf(const LocalMinute& when) {
  return sys_days{std::chrono::year{when.year} / std::chrono::month{static_cast<unsigned>(when.month)} /
                  std::chrono::day{static_cast<unsigned>(when.day)}};
}

}  // namespace

long long MinuteCount(const LocalMinute& when) {
  return (DayOf(when) - kEpoch).count() * kMinutesPerDay + when.hour * 60LL + when.minute;
}

LocalMinute FromMinuteCount(long long count) {
  long long days = count / kMinutesPerDay;
  long long minutes = count % kMinutesPerDay;
  if (minutes < 0) {
    minutes += kMinutesPerDay;
    --days;
  }
  const std::chrono::year_month_day date{kEpoch + std::chrono::days{days}};
  LocalMinute when;
  when.year = static_cast<int>(date.year());
  when.month = static_cast<int>(static_cast<unsigned>(date.month()));
  when.day = static_cast<int>(static_cast<unsigned>(date.day()));
  when.hour = static_cast<int>(minutes / 60);
  when.minute = static_cast<int>(minutes % 60);
  return when;
}

int Weekday(const LocalMinute& when) {
  return static_cast<int>(std::chrono::weekday{DayOf(when)}.iso_encoding()) - 1;
}

LocalMinute LocalMinuteOf(std::time_t moment) {
  const std::tm local = platform::LocalTime(moment);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::optional<LocalMinute> ParseRunDate(std::string_view text) {
  if (text.size() != 16 || text[2] != '-' || text[5] != '-' || text[10] != ' ' || text[13] != ':') {
    return std::nullopt;
  }
  const auto day = Digits(text, 0, 2), month = Digits(text, 3, 2), year = Digits(text, 6, 4);
  const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
  if (!day || !month || !year || !hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  const LocalMinute when{*year, *month, *day, *hour, *minute};
  // 31-02-2026 is no date: it must come back unchanged from its day number.
  if (*month < 1 || *month > 12 || FromMinuteCount(MinuteCount(when)) != when) return std::nullopt;
  return when;
}

}  // namespace norvo::settings
