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

std::time_t FromAutomationDate(double date) {
  const double whole = std::floor(date);
  // Whole seconds, a half second rounded up (away from zero).
  const std::chrono::duration<double> fraction = DayFraction(date - whole);
  const std::chrono::seconds time_of_day{std::lround(fraction.count())};
  const std::chrono::year_month_day civil{kEpoch + days{static_cast<int>(whole)}};
  std::tm local{};
  local.tm_year = static_cast<int>(civil.year()) - 1900;
  local.tm_mon = static_cast<int>(static_cast<unsigned>(civil.month())) - 1;
  local.tm_mday = static_cast<int>(static_cast<unsigned>(civil.day()));
  local.tm_sec = static_cast<int>(time_of_day.count());
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
