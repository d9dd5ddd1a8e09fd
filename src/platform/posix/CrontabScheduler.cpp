#include <cstdlib>
#include <optional>

#include "platform/ProcessIO.h"
#include "platform/Scheduler.h"
#include "platform/posix/Accounts.h"
#include "platform/posix/CrontabText.h"

namespace norvo::platform {
namespace {

std::string CrontabProgram() {
  const char* program = std::getenv("NORVO_CRONTAB");
  return program && *program ? program : "crontab";
}

// The crontab command for the account: the caller's own table needs no -u
// (and a normal user may not use it); another account's needs root.
std::vector<std::string> CrontabCommand(const std::string& account, const std::string& action) {
  std::vector<std::string> argv = {CrontabProgram()};
  if (!account.empty() && account != CurrentUserName()) {
    argv.push_back("-u");
    argv.push_back(account);
  }
  argv.push_back(action);
  return argv;
}

std::string Describe(const ProcessOutput& output) {
  if (!output.result.started) return output.result.error;
  std::string why = output.err;
  while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
  if (why.empty()) why = "exit status " + std::to_string(output.result.exit_code);
  return "crontab: " + why;
}

// The account's crontab; empty when it has none yet. Nothing when it cannot be
// read, so that a failure never replaces the other lines with ours alone.
std::optional<std::string> ReadCrontab(const std::string& account, std::string* error) {
  const ProcessOutput output = RunWithInput(CrontabCommand(account, "-l"), "");
  if (output.result.Succeeded()) return output.out;
  if (output.result.started && output.result.signal == 0 &&
      output.err.find("no crontab for") != std::string::npos) {
    return std::string();
  }
  if (error) *error = Describe(output);
  return std::nullopt;
}

// The crontab's account for a task's user: empty for the caller's own.
std::string AccountOf(const std::string& domain, const std::string& user) {
  return user.empty() ? "" : AccountName(domain, user);
}

bool Install(const std::string& account, const std::string& table, std::string* error) {
  const ProcessOutput output = RunWithInput(CrontabCommand(account, "-"), table);
  if (output.result.Succeeded()) return true;
  if (error) *error = Describe(output);
  return false;
}

}  // namespace

bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error, std::string* entry) {
  const std::optional<std::string> line = crontab::TaskLine(task, error);
  if (!line) return false;
  const std::string account = AccountOf(task.domain, task.user);
  const std::optional<std::string> existing = ReadCrontab(account, error);
  if (!existing || !Install(account, crontab::MergeTaskLine(*existing, task.name, *line), error))
    return false;
  if (entry) *entry = *line;
  return true;
}

bool FindWeeklyTask(const TaskPlace& place, std::string* entry, std::string* error) {
  const std::optional<std::string> existing = ReadCrontab(AccountOf(place.domain, place.user), error);
  if (!existing) return false;
  *entry = crontab::FindTaskLine(*existing, place.name);
  return true;
}

bool RemoveWeeklyTask(const TaskPlace& place, std::string* removed, std::string* error) {
  const std::string account = AccountOf(place.domain, place.user);
  const std::optional<std::string> existing = ReadCrontab(account, error);
  if (!existing) return false;
  *removed = crontab::FindTaskLine(*existing, place.name);
  if (removed->empty()) return true;  // nothing to remove: the table stays as it is
  return Install(account, crontab::RemoveTaskLines(*existing, place.name), error);
}

bool StartTaskWhenAvailable(const WeeklyTask& /*task*/, std::string* /*error*/) { return true; }

}  // namespace norvo::platform
