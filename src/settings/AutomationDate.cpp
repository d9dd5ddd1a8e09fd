#include "settings/AutomationDate.h"

#include <cmath>
#include <cstdio>

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

}  // namespace norvo::settings
