#include "tray/CatchUpRule.h"

#include "platform/Scheduler.h"
#include "settings/SettingNames.h"

namespace norvo::tray {
namespace {

using settings::kWeekdayCodes;
constexpr long long kMinutesPerDay = 24LL * 60;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The days of ",MON,FRI,"; *unknown names a code that is no day.
std::array<bool, 7> DaysOf(std::string_view day_text, std::string* unknown) {
  std::array<bool, 7> days{};
  std::size_t start = 0;
  while (start < day_text.size()) {
    std::size_t comma = day_text.find(',', start);
    if (comma == std::string_view::npos) comma = day_text.size();
    const std::string_view code = day_text.substr(start, comma - start);
    start = comma + 1;
    if (code.empty()) continue;
    bool known = false;
    for (std::size_t day = 0; day < kWeekdayCodes.size(); ++day) {
      if (code == kWeekdayCodes[day]) days[day] = known = true;
    }
    if (!known && unknown->empty()) *unknown = code;
  }
  return days;
}

bool AnyDay(const std::array<bool, 7>& days) {
  for (bool day : days) {
    if (day) return true;
  }
  return false;
}

}  // namespace

std::optional<WeeklySchedule> ParseSchedule(std::string_view day_text, std::string_view time_text,
                                            std::string* problem) {
  problem->clear();
  std::string unknown;
  WeeklySchedule schedule;
  schedule.days = DaysOf(day_text, &unknown);
  if (!unknown.empty()) {
    *problem = std::string(settings::kRespProgSem) + " " + Quoted(day_text) + " names an unknown day " +
               Quoted(unknown);
    return std::nullopt;
  }
  if (!AnyDay(schedule.days) || time_text.empty() || time_text == "__:__") return std::nullopt;
  const std::optional<platform::TimeOfDay> time = platform::ParseTaskTime(time_text);
  if (!time) {
    *problem =
        std::string(settings::kRespProgHora) + " " + Quoted(time_text) + " is not a time of day (hh:mm)";
    return std::nullopt;
  }
  schedule.hour = time->hour;
  schedule.minute = time->minute;
  return schedule;
}

std::optional<LocalMinute> TrustedDate(std::string_view name, std::string_view text, LocalMinute now,
                                       std::string* problem) {
  problem->clear();
  if (text.empty()) return std::nullopt;
  const std::optional<LocalMinute> date = settings::ParseRunDate(text);
  if (!date) {
    *problem = std::string(name) + " " + Quoted(text) + " is not a date (DD-MM-YYYY hh:mm)";
    return std::nullopt;
  }
  if (settings::MinuteCount(*date) - settings::MinuteCount(now) > kClockSetBackMinutes) {
    *problem = std::string(name) + " " + Quoted(text) + " lies in the future (the clock was wrong)";
    return std::nullopt;
  }
  return date;
}

std::optional<LocalMinute> LatestScheduledMoment(const WeeklySchedule& schedule, LocalMinute now) {
  const long long today = settings::MinuteCount({now.year, now.month, now.day, 0, 0});
  const long long time = schedule.hour * 60LL + schedule.minute;
  const int weekday = settings::Weekday(now);
  // Today when its time has come, else the days before, back to a week ago.
  for (int back = 0; back <= 7; ++back) {
    if (!schedule.days[(weekday - back + 7) % 7]) continue;
    const long long moment = today - back * kMinutesPerDay + time;
    if (moment <= settings::MinuteCount(now)) return settings::FromMinuteCount(moment);
  }
  return std::nullopt;
}

bool IsMissed(const WeeklySchedule& schedule, std::optional<LocalMinute> last_run, LocalMinute now) {
  const std::optional<LocalMinute> moment = LatestScheduledMoment(schedule, now);
  if (!moment) return false;
  const long long since = settings::MinuteCount(now) - settings::MinuteCount(*moment);
  if (since <= kCatchUpDelayMinutes) return false;
  return !last_run || settings::MinuteCount(*last_run) < settings::MinuteCount(*moment);
}

int LongestGapDays(const WeeklySchedule& schedule) {
  int longest = 0;
  for (int day = 0; day < 7; ++day) {
    if (!schedule.days[day]) continue;
    int gap = 1;
    while (!schedule.days[(day + gap) % 7]) ++gap;
    if (gap > longest) longest = gap;
  }
  return longest;
}

bool IsCopyOld(const WeeklySchedule& schedule, std::optional<LocalMinute> last_complete, LocalMinute now) {
  if (!last_complete) return true;
  const long long age = settings::MinuteCount(now) - settings::MinuteCount(*last_complete);
  return age > (LongestGapDays(schedule) + 1) * kMinutesPerDay;
}

}  // namespace norvo::tray
