#include "platform/windows/SchtasksQuery.h"

#include <array>
#include <utility>

namespace norvo::platform {
namespace {

constexpr std::array<std::pair<const char*, const char*>, 7> kDays = {{{"MON", "Monday"},
                                                                       {"TUE", "Tuesday"},
                                                                       {"WED", "Wednesday"},
                                                                       {"THU", "Thursday"},
                                                                       {"FRI", "Friday"},
                                                                       {"SAT", "Saturday"},
                                                                       {"SUN", "Sunday"}}};

// The text between <tag> and </tag> after `from`; nothing when absent.
std::optional<std::string_view> Element(std::string_view xml, std::string_view tag, std::size_t from = 0) {
  const std::string open = "<" + std::string(tag) + ">";
  const std::size_t start = xml.find(open, from);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t end = xml.find("</" + std::string(tag) + ">", start);
  if (end == std::string_view::npos) return std::nullopt;
  return xml.substr(start + open.size(), end - start - open.size());
}

// XML's five escapes undone.
std::string Unescaped(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kEscapes = {
      {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
  std::string plain;
  for (std::size_t at = 0; at < text.size();) {
    bool escaped = false;
    for (const auto& [code, c] : kEscapes) {
      if (text.substr(at, code.size()) == code) {
        plain += c;
        at += code.size();
        escaped = true;
        break;
      }
    }
    if (!escaped) plain += text[at++];
  }
  return plain;
}

std::string Account(const std::string& domain, const std::string& user) {
  return domain.empty() ? user : domain + "\\" + user;
}

}  // namespace

std::string TaskEntry(const WeeklyTask& task) {
  std::string days;
  for (const std::string& code : task.day_codes) days += (days.empty() ? "" : ",") + code;
  std::string time = task.time;
  if (const std::optional<TimeOfDay> parsed = ParseTaskTime(task.time)) {
    auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    time = two(parsed->hour) + ":" + two(parsed->minute);
  }
  return task.name + ": " + days + " " + time + " " + Account(task.domain, task.user) + " " + task.program;
}

std::optional<std::string> TaskEntryOfXml(const std::string& name, std::string_view xml) {
  const std::optional<std::string_view> week = Element(xml, "ScheduleByWeek");
  const std::optional<std::string_view> start = Element(xml, "StartBoundary");
  const std::optional<std::string_view> command = Element(xml, "Command");
  // "2024-01-05T23:30:00": the time of day follows the T.
  if (!week || !start || !command || start->size() < 16 || (*start)[10] != 'T') return std::nullopt;
  WeeklyTask task;
  task.name = name;
  for (const auto& [code, day] : kDays) {
    if (week->find("<" + std::string(day)) != std::string_view::npos) task.day_codes.emplace_back(code);
  }
  task.time = std::string(start->substr(11, 5));
  task.user = Unescaped(Element(xml, "UserId").value_or(""));
  task.program = Unescaped(*command);
  // SCHTASKS keeps the program of /tr in double quotes where it held a blank.
  if (task.program.size() >= 2 && task.program.front() == '"' && task.program.back() == '"')
    task.program = task.program.substr(1, task.program.size() - 2);
  return TaskEntry(task);
}

bool ListsTask(std::string_view csv, const std::string& name) {
  const std::string row = "\"\\" + name + "\",";
  for (std::size_t at = 0; at < csv.size();) {
    const std::size_t end = std::min(csv.size(), csv.find('\n', at));
    if (csv.substr(at, row.size()) == row) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace norvo::platform
