#include "platform/Scheduler.h"

namespace norvo::platform {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<TimeOfDay> ParseTaskTime(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != colon && !IsDigit(text[i])) return std::nullopt;
  }
  TimeOfDay time;
  for (std::size_t i = 0; i < colon; ++i) time.hour = time.hour * 10 + (text[i] - '0');
  time.minute = (text[colon + 1] - '0') * 10 + (text[colon + 2] - '0');
  if (time.hour > 23 || time.minute > 59) return std::nullopt;
  return time;
}

}  // namespace norvo::platform
