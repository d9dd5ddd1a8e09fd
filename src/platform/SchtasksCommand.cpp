#include "platform/SchtasksCommand.h"

namespace norvo::platform {
namespace {

constexpr std::size_t kProgramArgument = 5;  // the value of /tr

std::string JoinDays(const std::vector<std::string>& codes) {
  std::string days;
  for (const std::string& code : codes) {
    if (!days.empty()) days += ',';
    days += code;
  }
  return days;
}

}  // namespace

std::vector<std::string> SchtasksArguments(const WeeklyTask& task) {
  return {"SCHTASKS", "/Create",
          "/tn",      task.name,
          "/tr",      "'" + task.program + "'",
          "/sc",      "weekly",
          "/d",       JoinDays(task.day_codes),
          "/st",      task.time + ":00",
          "/ru",      task.domain + "\\" + task.user,
          "/rp",      task.password,
          "/F"};
}

std::string QuoteWindowsArgument(std::string_view argument, bool force) {
  if (!force && !argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only where a quote follows them.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::string SchtasksCommandLine(const WeeklyTask& task) {
  const std::vector<std::string> arguments = SchtasksArguments(task);
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    line += QuoteWindowsArgument(arguments[i], i == kProgramArgument);
  }
  return line;
}

}  // namespace norvo::platform
