#pragma once
// Registration of the weekly unattended run with the system's task scheduler.
// On POSIX the task is one line of an account's crontab; the Windows backend
// starts the SCHTASKS command line of SchtasksCommand.h.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::platform {

struct WeeklyTask {
  std::string name;                    // the task's name, e.g. "NORVO BACKUP"
  std::string program;                 // full path of the program to start
  std::vector<std::string> day_codes;  // "MON" ... "SUN"
  std::string time;                    // start time "hh:mm"
  std::string domain;                  // the account that runs the task
  std::string user;
  std::string password;
};

// A start time "hh:mm" (one or two digits for the hour) as hour and minute;
// nothing when the text is not a time of day.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
};
std::optional<TimeOfDay> ParseTaskTime(std::string_view text);

// Where a registered task lives: its name and the account that runs it (an
// empty user is the caller's own account).
struct TaskPlace {
  std::string name;
  std::string domain;
  std::string user;
};

// The three operations on the scheduler. An entry is the task as the
// scheduler holds it, for a person to read (on POSIX its crontab line); it
// never holds the account's password. On failure they return false with the
// scheduler's own message in *error. On POSIX the crontab program is
// $NORVO_CRONTAB when set, else "crontab".

// Registers the task, replacing an earlier one of the same name and leaving
// every other task untouched; *entry gets what was registered.
bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error = nullptr, std::string* entry = nullptr);
// The entry of the task in force; empty when none is registered.
bool FindWeeklyTask(const TaskPlace& place, std::string* entry, std::string* error = nullptr);
// Removes the task and nothing else; *removed gets its entry (empty when
// there was none, which is no failure).
bool RemoveWeeklyTask(const TaskPlace& place, std::string* removed, std::string* error = nullptr);

}  // namespace norvo::platform
