#pragma once
// Registration of the weekly unattended run with the system's task scheduler.
// On POSIX the task is one line of an account's crontab; the Windows backend
// starts the SCHTASKS command line of SchtasksCommand.h.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
  // Variables the program is started with (name, value), e.g. where its
  // settings are. The crontab line sets them before the program.
  std::vector<std::pair<std::string, std::string>> environment;
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
// $NORVO_CRONTAB when set, else "crontab"; on Windows SCHTASKS, where a task
// is found by its name alone.

// Registers the task, replacing an earlier one of the same name and leaving
// every other task untouched; *entry gets what was registered.
bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error = nullptr, std::string* entry = nullptr);
// The entry of the task in force; empty when none is registered.
bool FindWeeklyTask(const TaskPlace& place, std::string* entry, std::string* error = nullptr);
// Removes the task and nothing else; *removed gets its entry (empty when
// there was none, which is no failure).
bool RemoveWeeklyTask(const TaskPlace& place, std::string* removed, std::string* error = nullptr);

// Has the scheduler start the registered task as soon as it can when a
// start was missed (the computer was off or asleep at its time), even when
// nobody logs on. On Windows the task's "start when available" setting, set
// through the task scheduler's own interface after the task is registered.
// The task is found by its name; its account and password are handed over
// again, as the scheduler keeps them for a task that runs without a log-on.
// A crontab has no such setting: on POSIX this does nothing and succeeds,
// and the tray program catches a missed run up itself. False with the
// reason in *error when the setting cannot be made.
bool StartTaskWhenAvailable(const WeeklyTask& task, std::string* error = nullptr);

}  // namespace norvo::platform
