// How far local time is ahead of UTC, from the system's local broken-down
// time alone: the same arithmetic on every system.
#include <chrono>

#include "platform/System.h"

namespace norvo::platform {

long UtcOffsetSeconds(std::time_t moment) {
  namespace chrono = std::chrono;
  const std::tm local = LocalTime(moment);
  // The local civil time read as if it were UTC, minus the moment.
  const chrono::sys_days date = chrono::year{local.tm_year + 1900} /
                                chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                                chrono::day{static_cast<unsigned>(local.tm_mday)};
  const chrono::sys_seconds local_as_utc =
      date + chrono::hours{local.tm_hour} + chrono::minutes{local.tm_min} + chrono::seconds{local.tm_sec};
  return static_cast<long>((local_as_utc - chrono::sys_seconds{chrono::seconds{moment}}).count());
}

}  // namespace norvo::platform
