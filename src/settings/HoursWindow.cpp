#include "settings/HoursWindow.h"

namespace norvo::settings {
namespace {

// "HH:MM" with two digits each, 00:00 to 23:59, as minutes after midnight.
std::optional<int> ParseTimeOfDay(std::string_view text) {
  if (text.size() != 5 || text[2] != ':') return std::nullopt;
  for (size_t i : {0, 1, 3, 4}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  const int hours = (text[0] - '0') * 10 + (text[1] - '0');
  const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
  if (hours > 23 || minutes > 59) return std::nullopt;
  return hours * 60 + minutes;
}

}  // namespace

bool HoursWindow::Contains(int minute_of_day) const {
  if (always) return true;
  if (from_minute < to_minute) return minute_of_day >= from_minute && minute_of_day < to_minute;
  return minute_of_day >= from_minute || minute_of_day < to_minute;  // past midnight
}

std::optional<HoursWindow> ParseHoursWindow(std::string_view text) {
  if (text.empty()) return HoursWindow{};
  const size_t dash = text.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::optional<int> from = ParseTimeOfDay(text.substr(0, dash));
  const std::optional<int> to = ParseTimeOfDay(text.substr(dash + 1));
  // A span that starts where it ends says neither "always" nor "never".
  if (!from || !to || *from == *to) return std::nullopt;
  return HoursWindow{false, *from, *to};
}

}  // namespace norvo::settings
