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

}  // namespace

bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error) {
  const std::optional<std::string> line = crontab::TaskLine(task, error);
  if (!line) return false;
  const std::string account = task.user.empty() ? "" : AccountName(task.domain, task.user);
  const std::optional<std::string> existing = ReadCrontab(account, error);
  if (!existing) return false;
  const std::string merged = crontab::MergeTaskLine(*existing, task.name, *line);
  const ProcessOutput output = RunWithInput(CrontabCommand(account, "-"), merged);
  if (output.result.Succeeded()) return true;
  if (error) *error = Describe(output);
  return false;
}

bool StartTaskWhenAvailable(const WeeklyTask& /*task*/, std::string* /*error*/) { return true; }

}  // namespace norvo::platform
