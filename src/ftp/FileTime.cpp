#include "ftp/FileTime.h"

#include "settings/AutomationDate.h"

namespace norvo::ftp {
namespace {

constexpr uint64_t kUnitsPerSecond = 10'000'000;
constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's days_from_civil).
int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

uint64_t FileTimeFromUtc(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 60) {
    return 0;
  }
  int64_t seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * kUnitsPerSecond;
}

uint64_t FileTimeFromUnix(std::time_t moment) {
  int64_t seconds = static_cast<int64_t>(moment) + kSecondsFrom1601To1970;
  return seconds < 0 ? 0 : static_cast<uint64_t>(seconds) * kUnitsPerSecond;
}

std::time_t UnixFromFileTime(uint64_t file_time) {
  return static_cast<std::time_t>(static_cast<int64_t>(file_time / kUnitsPerSecond) - kSecondsFrom1601To1970);
}

double FileTimeToDate(uint64_t file_time) {
  if (file_time == 0) return 0.0;
  return settings::ToAutomationDate(UnixFromFileTime(file_time));
}

}  // namespace norvo::ftp
