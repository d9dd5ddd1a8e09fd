#include "ftp/FileTime.h"

#include <chrono>

#include "settings/AutomationDate.h"

namespace norvo::ftp {
namespace {

constexpr uint64_t kUnitsPerSecond = 10'000'000;
// File times count from the start of 1601, Unix times from the start of 1970.
constexpr std::chrono::sys_days kFileTimeEpoch = std::chrono::year{1601} / std::chrono::January / 1;
constexpr std::chrono::sys_days kUnixEpoch = std::chrono::year{1970} / std::chrono::January / 1;
constexpr int64_t kSecondsFrom1601To1970 =
    std::chrono::duration_cast<std::chrono::seconds>(kUnixEpoch - kFileTimeEpoch).count();

}  // namespace

uint64_t FileTimeFromUtc(int year, int month, int day, int hour, int minute, int second) {
  using namespace std::chrono;
  if (year < 1601 || year > 30827 || month < 1 || day < 1) return 0;
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) return 0;
  const sys_seconds moment = sys_days{date} + hours{hour} + minutes{minute} + seconds{second};
  return static_cast<uint64_t>((moment - kFileTimeEpoch).count()) * kUnitsPerSecond;
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
