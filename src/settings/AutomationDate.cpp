#include "settings/AutomationDate.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/System.h"

namespace norvo::settings {
namespace {

// Days from 1899-12-30 to the civil date (proleptic Gregorian).
long DaysFromEpoch(int year, int month, int day) {
  // Days since 1970-01-01 (Howard Hinnant's days_from_civil), then shifted.
  year -= month <= 2;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long yoe = year - era * 400;
  const long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

// The civil date of a day number from 1899-12-30 (the inverse of the above).
void CivilFromDays(long days, int& year, int& month, int& day) {
  const long z = days - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

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
  std::tm local = platform::LocalTime(moment);
  long days = DaysFromEpoch(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  double fraction = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
  return static_cast<double>(days) + fraction;
}

std::time_t FromAutomationDate(double date) {
  double days = std::floor(date);
  long seconds = std::lround((date - days) * 86400.0);
  std::tm local{};
  local.tm_year = -1;  // 1899
  local.tm_mon = 11;   // December
  local.tm_mday = 30 + static_cast<int>(days);
  local.tm_sec = static_cast<int>(seconds);
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

long long MinuteCount(const LocalMinute& when) {
  return DaysFromEpoch(when.year, when.month, when.day) * kMinutesPerDay + when.hour * 60LL + when.minute;
}

LocalMinute FromMinuteCount(long long count) {
  long long days = count / kMinutesPerDay;
  long long minutes = count % kMinutesPerDay;
  if (minutes < 0) {
    minutes += kMinutesPerDay;
    --days;
  }
  LocalMinute when;
  CivilFromDays(static_cast<long>(days), when.year, when.month, when.day);
  when.hour = static_cast<int>(minutes / 60);
  when.minute = static_cast<int>(minutes % 60);
  return when;
}

int Weekday(const LocalMinute& when) {
  // Day 0, 30 December 1899, was a Saturday.
  const long days = DaysFromEpoch(when.year, when.month, when.day);
  return static_cast<int>(((days + 5) % 7 + 7) % 7);
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
