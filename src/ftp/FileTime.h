#pragma once
// Windows file times (UTC, 100-nanosecond units since 1 January 1601) and
// their conversion to local Automation dates.
#include <cstdint>
#include <ctime>

namespace norvo::ftp {

// The file time of a UTC civil date and time; 0 for a date that is not valid.
uint64_t FileTimeFromUtc(int year, int month, int day, int hour, int minute, int second);
uint64_t FileTimeFromUnix(std::time_t moment);
std::time_t UnixFromFileTime(uint64_t file_time);

// The local Automation date (days since 30 December 1899 as a double) of a file
// time. The unknown time 0 gives the date 0.
double FileTimeToDate(uint64_t file_time);

}  // namespace norvo::ftp
