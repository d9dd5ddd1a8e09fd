#pragma once
// The two registrations the configuration window makes: the weekly task that
// starts Norvo_T (on every save) and the start of Norvo at log-on (on every
// opening). A failure leaves a line on stderr and its reason is returned, so
// the window can tell the user that the schedule did not change.
#include <string>
#include <string_view>
#include <utility>
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

// The variables that point the programs at a settings store or provider
// file other than the default ones (NORVO_REGISTRY, NORVO_PROVIDER_CONF),
// as set for this program: the scheduled run must read the same. A relative
// path is made absolute, since the scheduler starts the run elsewhere.
std::vector<std::pair<std::string, std::string>> TaskEnvironment();

// The task of a save for the running program's folder, started with the
// variables of TaskEnvironment: what the window and `norvo-settings
// schedule` register.
platform::WeeklyTask ScheduleTask(std::string_view day_text, std::string_view time, std::string_view domain,
                                  std::string_view user, std::string_view password);

// Registers the task (its entry in *entry) and has the scheduler start it
// late when its time is missed; a scheduler that cannot is told on stderr and
// leaves the task registered. False with the scheduler's message in *error.
bool RegisterScheduleTask(const platform::WeeklyTask& task, std::string* error, std::string* entry = nullptr);

// Registers the task of a save for the running program's folder. On
// failure *why says it for the user: a time box that holds no time in
// Spanish, any other refusal in the scheduler's own words.
bool RegisterSchedule(std::string_view day_text, std::string_view time, std::string_view domain,
                      std::string_view user, std::string_view password, std::string* why = nullptr);

// Registers Norvo of the running program's folder to start at log-on; the
// reason of a failure in *why.
bool RegisterStartup(std::string* why = nullptr);

}  // namespace norvo::config
