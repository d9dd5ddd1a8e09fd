#pragma once
// The SCHTASKS command that registers the weekly task on Windows. Pure text,
// built on every platform so that it is tested everywhere.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Scheduler.h"

namespace norvo::platform {

// The arguments, tool name first, in the order SCHTASKS gets them: /Create,
// the task name, the program in single quotes, weekly on the days joined by
// ",", the time with ":00", the account DOMAIN\user, its password, /F (replace).
std::vector<std::string> SchtasksArguments(const WeeklyTask& task);

// One argument as the Windows C runtime splits a command line: unchanged when
// it holds no blank, tab or double quote and is not empty, else in double
// quotes with quotes and the backslashes before them escaped. `force` quotes always.
std::string QuoteWindowsArgument(std::string_view argument, bool force = false);

// The whole command line. The program argument is always in double quotes;
// the others only when they must be, so a blank or quote in a user name or a
// password cannot split the line.
std::string SchtasksCommandLine(const WeeklyTask& task);

}  // namespace norvo::platform
