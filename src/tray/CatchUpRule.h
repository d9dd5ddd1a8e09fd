#pragma once
// When a missed backup run is caught up, and when the last complete copy is
// too old: rules over the stored schedule and dates on the local wall clock,
// free of any clock or time zone of their own so that every case is tested.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/AutomationDate.h"

namespace norvo::tray {

using settings::LocalMinute;

// The weekly schedule of the unattended run.
struct WeeklySchedule {
  std::array<bool, 7> days{};  // Monday first, as settings::Weekday counts
  int hour = 0;
  int minute = 0;
};

// Resp_ProgSem (",MON,FRI,") and Resp_ProgHora ("hh:mm") as a schedule.
// Nothing, with *problem left empty, when no day is ticked or no time was
// saved (an unfilled time box "__:__" included); nothing, with *problem
// saying why, when a value does not parse or names an unknown day.
std::optional<WeeklySchedule> ParseSchedule(std::string_view day_text, std::string_view time_text,
                                            std::string* problem);

// How far ahead of now a stored date may lie and still be believed: the
// wall clock goes back that much when daylight saving time ends, so a run
// that ended just before looks ahead of now for that long.
inline constexpr int kClockSetBackMinutes = 60;

// The stored date `text` of the setting `name`, when it can be trusted at
// `now`. Nothing, with *problem left empty, when it is empty; nothing, with
// *problem saying why, when it does not parse or lies in the future (the
// clock was wrong when it was written).
std::optional<LocalMinute> TrustedDate(std::string_view name, std::string_view text, LocalMinute now,
                                       std::string* problem);

// The latest scheduled moment at or before now; nothing when no day is ticked.
std::optional<LocalMinute> LatestScheduledMoment(const WeeklySchedule& schedule, LocalMinute now);

// A scheduled run counts as missed only this long after its moment, so that
// a scheduler that starts it a little late is not doubled.
inline constexpr int kCatchUpDelayMinutes = 15;

// Whether the run of the latest scheduled moment was missed: the moment lies
// more than kCatchUpDelayMinutes in the past and no run has ended since it
// (the last run, if any, is older). Whether a run is going on is the
// caller's to ask.
bool IsMissed(const WeeklySchedule& schedule, std::optional<LocalMinute> last_run, LocalMinute now);

// The longest gap, in days, between two scheduled days in a row: 7 for one
// day a week, 1 for every day; 0 when no day is ticked.
int LongestGapDays(const WeeklySchedule& schedule);

// Whether the last complete copy is older than the longest gap plus one day;
// none at all is always too old.
bool IsCopyOld(const WeeklySchedule& schedule, std::optional<LocalMinute> last_complete, LocalMinute now);

}  // namespace norvo::tray
