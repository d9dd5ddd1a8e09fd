#include "config/services/Registration.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "config/services/FormText.h"
#include "platform/Autostart.h"
#include "platform/System.h"
#include "settings/Text.h"

namespace norvo::config {

std::vector<std::string> DayCodes(std::string_view day_text) {
  std::vector<std::string> codes = settings::Split(day_text, ",");
  std::erase(codes, std::string());
  return codes;
}

std::vector<std::pair<std::string, std::string>> TaskEnvironment() {
  std::vector<std::pair<std::string, std::string>> environment;
  for (const char* name : {"NORVO_REGISTRY", "NORVO_PROVIDER_CONF"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(value, failed);
    environment.emplace_back(name, failed ? std::string(value) : absolute.string());
  }
  return environment;
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
  platform::WeeklyTask task =
      BuildWeeklyTask(day_text, time, domain, user, password, platform::ProgramFolder());
  task.environment = TaskEnvironment();
  return task;
}

bool RegisterScheduleTask(const platform::WeeklyTask& task, std::string* error, std::string* entry) {
  if (!platform::RegisterWeeklyTask(task, error, entry)) return false;
  // The task stands either way; without the setting a missed start waits
  // for the tray program to catch it up.
  std::string why;
  if (!platform::StartTaskWhenAvailable(task, &why)) {
    std::cerr << "norvo: the task \"" << task.name
              << "\" will not start late when its time is missed: " << why << "\n";
  }
  return true;
}

bool RegisterSchedule(std::string_view day_text, std::string_view time, std::string_view domain,
                      std::string_view user, std::string_view password, std::string* why) {
  std::string error;
  if (RegisterScheduleTask(ScheduleTask(day_text, time, domain, user, password), &error)) return true;
  std::cerr << "norvo: the task \"" << kTaskName << "\" was not registered: " << error << "\n";
  if (why) {
    *why = IsStartTime(time) ? error : "la hora \"" + std::string(time) + "\" no es una hora del día (hh:mm)";
  }
  return false;
}

bool RegisterStartup(std::string* why) {
  std::string error;
  if (platform::RegisterStartAtLogon(platform::ProgramFolder(), "Norvo", &error)) return true;
  std::cerr << "norvo: start at log-on was not registered: " << error << "\n";
  if (why) *why = error;
  return false;
}

}  // namespace norvo::config
