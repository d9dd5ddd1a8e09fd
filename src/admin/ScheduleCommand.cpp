// The weekly task from the command line: the same task, built and registered
// by the same code, as a save of the configuration window.
#include <optional>

#include "admin/ToolSupport.h"
#include "config/services/Registration.h"
#include "platform/LogonCheck.h"
#include "platform/Scheduler.h"
#include "settings/Base64.h"
#include "settings/SettingNames.h"
#include "settings/SettingRules.h"
#include "settings/Settings.h"
#include "settings/Text.h"

namespace norvo::admin {
namespace {

struct Account {
  std::string domain;
  std::string user;
};

// "DOMAIN\user", or a user alone.
Account ParseAccount(const std::string& text) {
  const std::size_t slash = text.find('\\');
  if (slash == std::string::npos) return {"", text};
  return {text.substr(0, slash), text.substr(slash + 1)};
}

std::string StoredDecoded(std::string_view name) {
  return settings::DecodeStoredSetting(settings::ReadSetting(name)).value_or("");
}

// The task's account: --account, else the one stored by the window or an
// earlier schedule, else the logged-on user.
Account TaskAccount(const CommandLine& line) {
  if (line.Has("--account")) return ParseAccount(line.options.at("--account"));
  Account stored{StoredDecoded(settings::kRespProgWDom), StoredDecoded(settings::kRespProgWUsr)};
  if (!stored.user.empty()) return stored;
  const platform::LogonAccount logged_on = platform::LoggedOnAccount();
  return {logged_on.domain, logged_on.user};
}

// The stored day text of "MON,FRI" (or ",mon,fri,"): ",MON,FRI,".
std::string DayText(std::string_view days) {
  std::string text = ",";
  for (const std::string& part : settings::Split(days, ",")) {
    if (part.empty()) continue;
    for (char c : part) text += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    text += ',';
  }
  return text;
}

// "7:05" as the window's time box holds it: "07:05". Nothing for no time of day.
std::optional<std::string> TimeText(std::string_view time) {
  const std::optional<platform::TimeOfDay> parsed = platform::ParseTaskTime(time);
  if (!parsed) return std::nullopt;
  auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return two(parsed->hour) + ":" + two(parsed->minute);
}

int ShowOrRemove(const CommandLine& line, const Console& console) {
  if (!line.operands.empty() || (line.Has("--show") && line.Has("--remove")) ||
      line.Has("--password-stdin")) {
    return Usage(console, "schedule --show and --remove take only --account");
  }
  const Account account = TaskAccount(line);
  const platform::TaskPlace place{std::string(config::kTaskName), account.domain, account.user};
  std::string entry;
  std::string error;
  if (line.Has("--show")) {
    if (!platform::FindWeeklyTask(place, &entry, &error)) {
      console.err << "norvo-settings: cannot read the weekly task: " << error << "\n";
      return kFailed;
    }
    if (entry.empty()) {
      console.err << "norvo-settings: no weekly task \"" << config::kTaskName << "\" is registered\n";
      return kFailed;
    }
    console.out << entry << "\n";
    return kOk;
  }
  if (!platform::RemoveWeeklyTask(place, &entry, &error)) {
    console.err << "norvo-settings: the weekly task was not removed: " << error << "\n";
    return kFailed;
  }
  if (entry.empty()) {
    console.err << "norvo-settings: no weekly task \"" << config::kTaskName << "\" was registered\n";
  } else {
    console.out << entry << "\n";
  }
  return kOk;
}

int Register(const CommandLine& line, const Console& console) {
  if (line.operands.size() != 2) return Usage(console, "schedule takes DAYS and HH:MM");
  const std::string days = DayText(line.operands[0]);
  if (settings::ValueProblem(*settings::FindSetting(settings::kRespProgSem), days)) {
    return Refuse(console,
                  "DAYS must be day codes MON TUE WED THU FRI SAT SUN joined by commas (MON,FRI), not \"" +
                      line.operands[0] + "\"");
  }
  const std::optional<std::string> time = TimeText(line.operands[1]);
  if (!time) {
    return Refuse(console,
                  "HH:MM must be a time on the 24-hour clock (23:30), not \"" + line.operands[1] + "\"");
  }
  const Account account = TaskAccount(line);
  if (account.user.empty()) return Refuse(console, "--account names no user");
  std::string password = StoredDecoded(settings::kRespProgWPas);
  if (line.Has("--password-stdin") && !std::getline(console.in, password)) {
    return Refuse(console, "--password-stdin found no line on standard input");
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();

  std::string entry;
  std::string error;
  const platform::WeeklyTask task = config::ScheduleTask(days, *time, account.domain, account.user, password);
  if (!config::RegisterScheduleTask(task, &error, &entry)) {
    console.err << "norvo-settings: the weekly task was not registered: " << error << "\n";
    return kFailed;
  }
  std::vector<std::pair<std::string, std::string>> values = {{std::string(settings::kRespProgSem), days},
                                                             {std::string(settings::kRespProgHora), *time}};
  if (line.Has("--account")) {
    values.emplace_back(settings::kRespProgWDom, settings::EncodeSetting(account.domain));
    values.emplace_back(settings::kRespProgWUsr, settings::EncodeSetting(account.user));
  }
  if (line.Has("--password-stdin"))
    values.emplace_back(settings::kRespProgWPas, settings::EncodeSetting(password));
  console.out << entry << "\n";
  if (!WriteValues(values, console)) {
    console.err << "norvo-settings: the task is registered, but its days and time are not stored\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace

int ScheduleCommand(const CommandLine& line, const Console& console) {
  if (line.Has("--show") || line.Has("--remove")) return ShowOrRemove(line, console);
  return Register(line, console);
}

}  // namespace norvo::admin
