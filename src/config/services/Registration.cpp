#include "config/services/Registration.h"

#include <iostream>

#include "platform/Autostart.h"
#include "platform/System.h"
#include "settings/Text.h"

namespace norvo::config {

std::vector<std::string> DayCodes(std::string_view day_text) {
  std::vector<std::string> codes = settings::Split(day_text, ",");
  std::erase(codes, std::string());
  return codes;
}

platform::WeeklyTask BuildWeeklyTask(std::string_view day_text, std::string_view time,
                                     std::string_view domain, std::string_view user,
                                     std::string_view password, std::string_view program_folder) {
  platform::WeeklyTask task;
  task.name = kTaskName;
  task.program = std::string(program_folder) + "Norvo_T" + platform::kProgramSuffix;
  task.day_codes = DayCodes(day_text);
  task.time = time;
  task.domain = domain;
  task.user = user;
  task.password = password;
  return task;
}

platform::WeeklyTask ScheduleTask(std::string_view day_text, std::string_view time, std::string_view domain,
                                  std::string_view user, std::string_view password) {
  return BuildWeeklyTask(day_text, time, domain, user, password, platform::ProgramFolder());
}

bool RegisterSchedule(std::string_view day_text, std::string_view time, std::string_view domain,
                      std::string_view user, std::string_view password) {
  std::string error;
  if (platform::RegisterWeeklyTask(ScheduleTask(day_text, time, domain, user, password), &error)) return true;
  std::cerr << "norvo: the task \"" << kTaskName << "\" was not registered: " << error << "\n";
  return false;
}

bool RegisterStartup() {
  std::string error;
  if (platform::RegisterStartAtLogon(platform::ProgramFolder(), "Norvo", &error)) return true;
  std::cerr << "norvo: start at log-on was not registered: " << error << "\n";
  return false;
}

}  // namespace norvo::config
