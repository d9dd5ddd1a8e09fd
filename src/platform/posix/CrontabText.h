#pragma once
// The text of a crontab: the task's line and its place among the account's
// other lines. Pure functions, no process is started here.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Scheduler.h"

namespace norvo::platform::crontab {

// "1,5" for MON, FRI (Sunday is 0); nothing when the list is empty or holds
// an unknown code.
std::optional<std::string> DayNumbers(const std::vector<std::string>& codes);

// One word for /bin/sh inside a crontab (a program path, a variable's
// value): in single quotes, with "%" escaped as cron wants it.
std::string QuoteForCron(std::string_view word);

// The comment that ends the task's line and identifies it: " # " + name.
std::string Tag(std::string_view task_name);

// The task's crontab line (without its newline): minute, hour, days, the
// task's variables as NAME='value', the program, the tag. Nothing, with the
// reason in *error, for days, a time, a path or a variable that cannot be
// written into a crontab.
std::optional<std::string> TaskLine(const WeeklyTask& task, std::string* error);

// The crontab `existing` with every line of the task removed; all other
// lines are kept byte for byte, and a text that is not empty ends in a newline.
std::string RemoveTaskLines(std::string_view existing, std::string_view task_name);

// The same with `line` appended.
std::string MergeTaskLine(std::string_view existing, std::string_view task_name, std::string_view line);

// The task's line (the last one, without its line end), or empty when the
// crontab holds none.
std::string FindTaskLine(std::string_view existing, std::string_view task_name);

}  // namespace norvo::platform::crontab
