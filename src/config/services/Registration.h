#pragma once
// The two registrations the configuration window makes: the weekly task that
// starts Norvo_T (on every save) and the start of Norvo at log-on (on every
// opening). Both are fire-and-forget towards the window; a failure leaves a
// line on stderr and is returned for whoever wants it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Scheduler.h"

namespace norvo::config {

inline constexpr std::string_view kTaskName = "NORVO BACKUP";

// The day codes of a stored day text: ",MON,FRI," gives MON, FRI.
std::vector<std::string> DayCodes(std::string_view day_text);

// The task of a save: Norvo_T of `program_folder` (ending in the separator),
// weekly on the days of `day_text` at `time`, under the account given.
platform::WeeklyTask BuildWeeklyTask(std::string_view day_text, std::string_view time,
                                     std::string_view domain, std::string_view user,
                                     std::string_view password, std::string_view program_folder);

// The task of a save for the running program's folder: what the window and
// `norvo-settings schedule` register.
platform::WeeklyTask ScheduleTask(std::string_view day_text, std::string_view time, std::string_view domain,
                                  std::string_view user, std::string_view password);

// Registers the task of a save for the running program's folder.
bool RegisterSchedule(std::string_view day_text, std::string_view time, std::string_view domain,
                      std::string_view user, std::string_view password);

// Registers Norvo of the running program's folder to start at log-on.
bool RegisterStartup();

}  // namespace norvo::config
