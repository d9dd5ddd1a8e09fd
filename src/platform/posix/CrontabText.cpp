#include "platform/posix/CrontabText.h"

#include <array>
#include <utility>

namespace norvo::platform::crontab {
namespace {

// cron turns an unescaped "%" of the command into a newline.
std::string EscapePercent(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '%') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A name the shell takes as a variable assignment: a letter or "_", then
// letters, digits or "_".
bool IsVariableName(std::string_view name) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(name.front())) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

// The line without its trailing blanks and carriage return.
std::string_view TrimRight(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

}  // namespace

std::optional<std::string> DayNumbers(const std::vector<std::string>& codes) {
  static constexpr std::array<std::pair<std::string_view, char>, 7> kDays = {
      {{"SUN", '0'}, {"MON", '1'}, {"TUE", '2'}, {"WED", '3'}, {"THU", '4'}, {"FRI", '5'}, {"SAT", '6'}}};
  std::string numbers;
  for (const std::string& code : codes) {
    char number = 0;
    for (const auto& [name, digit] : kDays) {
      if (code == name) number = digit;
    }
    if (number == 0) return std::nullopt;
    if (!numbers.empty()) numbers += ',';
    numbers += number;
  }
  if (numbers.empty()) return std::nullopt;
  return numbers;
}

std::string QuoteForCron(std::string_view word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";  // close the quotes, an escaped quote, open them again
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return EscapePercent(quoted);
}

std::string Tag(std::string_view task_name) { return " # " + EscapePercent(task_name); }

namespace {

// Calls visit(line, is_task) for every line of the crontab, its line end
// included; is_task tells the lines that end with the task's tag.
template <typename Visit>
void ForEachLine(std::string_view crontab, std::string_view task_name, Visit visit) {
  const std::string tag = Tag(task_name);
  std::size_t start = 0;
  while (start < crontab.size()) {
    std::size_t end = crontab.find('\n', start);
    end = end == std::string_view::npos ? crontab.size() : end + 1;
    const std::string_view line = crontab.substr(start, end - start);
    const std::string_view content = TrimRight(line.substr(0, line.find('\n')));
    visit(line, content.ends_with(tag));
    start = end;
  }
}

}  // namespace

std::optional<std::string> TaskLine(const WeeklyTask& task, std::string* error) {
  auto fail = [error](std::string why) -> std::optional<std::string> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  const std::optional<std::string> days = DayNumbers(task.day_codes);
  if (!days) return fail("no valid day of the week");
  const std::optional<TimeOfDay> time = ParseTaskTime(task.time);
  if (!time) return fail("start time \"" + task.time + "\" is not hh:mm");
  if (task.program.empty() || HasLineBreak(task.program)) return fail("unusable program path");
  if (task.name.empty() || HasLineBreak(task.name)) return fail("unusable task name");
  std::string line = std::to_string(time->minute) + " " + std::to_string(time->hour) + " * * " + *days + " ";
  for (const auto& [name, value] : task.environment) {
    if (!IsVariableName(name) || HasLineBreak(value)) return fail("unusable value of " + name);
    line += name + "=" + QuoteForCron(value) + " ";
  }
  return line + QuoteForCron(task.program) + Tag(task.name);
}

std::string RemoveTaskLines(std::string_view existing, std::string_view task_name) {
  std::string kept;
  ForEachLine(existing, task_name, [&kept](std::string_view line, bool is_task) {
    if (is_task) return;
    kept += line;
    if (kept.back() != '\n') kept += '\n';
  });
  return kept;
}

std::string MergeTaskLine(std::string_view existing, std::string_view task_name, std::string_view line) {
  std::string merged = RemoveTaskLines(existing, task_name);
  merged += line;
  merged += '\n';
  return merged;
}

std::string FindTaskLine(std::string_view existing, std::string_view task_name) {
  std::string found;
  ForEachLine(existing, task_name, [&found](std::string_view line, bool is_task) {
    if (is_task) found = TrimRight(line.substr(0, line.find('\n')));
  });
  return found;
}

}  // namespace norvo::platform::crontab
