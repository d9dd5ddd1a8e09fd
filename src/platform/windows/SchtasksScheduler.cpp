// The weekly task on Windows: the SCHTASKS command line of SchtasksCommand.h,
// started hidden with its output captured, so that a refusal comes back in
// the tool's own words. /F makes SCHTASKS replace a task of the same name.
// Tasks live in the scheduler's root folder, one per name for the whole
// computer: finding and removing one needs its name only, not its account.
#include <algorithm>
#include <optional>

#include "platform/Scheduler.h"
#include "platform/SchtasksCommand.h"
#include "platform/System.h"
#include "platform/windows/PipedProcess.h"
#include "platform/windows/SchtasksQuery.h"

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

PipedRun RunSchtasks(const std::string& arguments) {
  return RunCommandLine(SchtasksProgram(), arguments, {});
}

// Whether the task is registered at all, from the list of every task:
// SCHTASKS refuses the definition of a missing task only in the system's
// language. Nothing when the list cannot be read either.
std::optional<bool> Listed(const std::string& name) {
  const PipedRun run = RunSchtasks("/Query /FO CSV /NH");
  if (!run.result.Succeeded()) return std::nullopt;
  return ListsTask(FromConsoleText(run.out), name);
}

}  // namespace

// The scheduler starts the run with the system's environment: the variables
// of task.environment cannot be handed to it and are not.
bool RegisterWeeklyTask(const WeeklyTask& task, std::string* error, std::string* entry) {
  std::string why = Unusable(task);
  if (why.empty()) {
    const std::string line = SchtasksCommandLine(task);
    const PipedRun run = RunSchtasks(line.substr(line.find(' ') + 1));
    if (run.result.Succeeded()) {
      if (entry) *entry = TaskEntry(task);
      return true;
    }
    why = Describe(run);
  }
  if (error) *error = why;
  return false;
}

bool FindWeeklyTask(const TaskPlace& place, std::string* entry, std::string* error) {
  entry->clear();
  const PipedRun run = RunSchtasks("/Query /TN " + QuoteWindowsArgument(place.name) + " /XML");
  if (run.result.Succeeded()) {
    if (std::optional<std::string> read = TaskEntryOfXml(place.name, FromConsoleText(run.out))) {
      *entry = *read;
      return true;
    }
    if (error) *error = "SCHTASKS: the task \"" + place.name + "\" is not a weekly task";
    return false;
  }
  if (run.result.started && Listed(place.name) == false) return true;
  if (error) *error = Describe(run);
  return false;
}

bool RemoveWeeklyTask(const TaskPlace& place, std::string* removed, std::string* error) {
  if (!FindWeeklyTask(place, removed, error)) return false;
  if (removed->empty()) return true;  // nothing to remove
  const PipedRun run = RunSchtasks("/Delete /TN " + QuoteWindowsArgument(place.name) + " /F");
  if (run.result.Succeeded()) return true;
  if (error) *error = Describe(run);
  return false;
}

}  // namespace norvo::platform
