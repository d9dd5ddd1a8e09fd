// The weekly task on Windows: the SCHTASKS command line of SchtasksCommand.h,
// started hidden with its output captured, so that a refusal comes back in
// the tool's own words. /F makes SCHTASKS replace a task of the same name.
#include <algorithm>

#include "platform/Scheduler.h"
#include "platform/SchtasksCommand.h"
#include "platform/System.h"
#include "platform/windows/PipedProcess.h"

namespace norvo::platform {
namespace {

constexpr const char* kDayCodes[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};

// $NORVO_SCHTASKS names a stand-in; else the system looks the tool up.
std::string SchtasksProgram() {
  const std::string program = EnvironmentValue("NORVO_SCHTASKS");
  return program.empty() ? "schtasks" : program;
}

bool KnownDays(const std::vector<std::string>& codes) {
  return !codes.empty() && std::all_of(codes.begin(), codes.end(), [](const std::string& code) {
    return std::find(std::begin(kDayCodes), std::end(kDayCodes), code) != std::end(kDayCodes);
  });
}

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string Trimmed(std::string text) {
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text.substr(std::min(text.size(), text.find_first_not_of(" \t\r\n")));
}

// What the tool said about its refusal: its standard error, else its output.
std::string Describe(const PipedRun& run) {
  if (!run.result.started) return run.result.error;
  std::string why = Trimmed(FromConsoleText(run.err));
  if (why.empty()) why = Trimmed(FromConsoleText(run.out));
  if (why.empty()) why = "exit status " + std::to_string(run.result.exit_code);
  return "SCHTASKS: " + why;
}

// Why the task cannot be handed to the tool at all; empty when it can.
std::string Unusable(const WeeklyTask& task) {
  if (!KnownDays(task.day_codes)) return "no valid day of the week";
  if (!ParseTaskTime(task.time)) return "start time \"" + task.time + "\" is not hh:mm";
  if (task.program.empty() || HasControlCharacter(task.program) ||
      task.program.find('\'') != std::string::npos)
    return "unusable program path";
  if (task.name.empty() || HasControlCharacter(task.name)) return "unusable task name";
  if (HasControlCharacter(task.domain + task.user + task.password)) return "unusable account";
  return "";
}

}  // namespace

// The scheduler starts the run with the system's environment: the variables
// of task.environment cannot be handed to it and are not.
bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error) {
  std::string why = Unusable(task);
  if (why.empty()) {
    const std::string line = SchtasksCommandLine(task);
    const PipedRun run = RunCommandLine(SchtasksProgram(), line.substr(line.find(' ') + 1), {});
    if (run.result.Succeeded()) return true;
    why = Describe(run);
  }
  if (error) *error = why;
  return false;
}

}  // namespace norvo::platform
