#pragma once
// The weekly task as SCHTASKS shows it: the task's definition (/Query /XML)
// and the list of task names (/Query /FO CSV /NH), read into the one-line
// entry the scheduler's operations hand back (Scheduler.h).
#include <optional>
#include <string>
#include <string_view>

#include "platform/Scheduler.h"

namespace norvo::platform {

// `NAME: MON,FRI 23:30 DOMAIN\user PROGRAM`, the same for a task about to be
// registered and for one read back, so that both print alike.
std::string TaskEntry(const WeeklyTask& task);

// The entry of a task definition in the task scheduler's XML (UTF-8): its
// weekly trigger's days and start time, its account and its program.
// Nothing when the text holds no weekly trigger or no program.
std::optional<std::string> TaskEntryOfXml(const std::string& name, std::string_view xml);

// Whether SCHTASKS's CSV list of tasks holds a task of this name in the root folder.
bool ListsTask(std::string_view csv, const std::string& name);

}  // namespace norvo::platform
