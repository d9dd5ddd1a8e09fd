#pragma once
// A daily span of local time written "HH:MM-HH:MM" (08:00-19:00), which may
// wrap past midnight (22:00-06:00). The start minute is inside, the end
// minute is not. No span at all means every minute of the day.
#include <optional>
#include <string_view>

namespace norvo::settings {

struct HoursWindow {
  bool always = true;   // no span given
  int from_minute = 0;  // minutes after midnight, 0 to 1439
  int to_minute = 0;

  bool Contains(int minute_of_day) const;
};

// "" gives the window of every minute; nothing for a text that is not two
// different times of day joined by '-'.
std::optional<HoursWindow> ParseHoursWindow(std::string_view text);

}  // namespace norvo::settings
