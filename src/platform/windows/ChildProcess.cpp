#include "platform/windows/ChildProcess.h"

#include "platform/SchtasksCommand.h"
#include "platform/windows/EndRequestEvent.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

// The exit code a child ended by an end request is given.
constexpr UINT kEndedExitCode = 1;

// A job that kills its processes when its last handle closes; null when the
// system cannot make one.
HANDLE KillOnCloseJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (job != nullptr) CloseHandle(job);
  if (process != nullptr) CloseHandle(process);
}

std::wstring CommandLineOf(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += ' ';
    line += QuoteWindowsArgument(argument);
  }
  return Widen(line);
}

ChildCommand CommandOf(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ChildCommand command;
  command.name = argv.empty() ? "" : argv[0];
  command.line = CommandLineOf(argv);
  command.endsWithCaller = options.endsWithCaller;
  return command;
}

bool StartChildProcess(const ChildCommand& command, STARTUPINFOW& startup, ChildProcess* child,
                       std::string* error) {
  std::wstring line = command.line;
  const std::wstring wide_folder = Widen(command.folder);
  // No job can be made on a system that ended its jobs' nesting (before
  // Windows 8, in a job that forbids it): the child then runs without one,
  // still ended by an end request, rather than no backup being made there.
  if (command.endsWithCaller) child->job = KillOnCloseJob();
  PROCESS_INFORMATION process{};
  // Suspended until it is in its job, so that nothing it starts escapes the job.
  const DWORD flags = CREATE_NO_WINDOW | command.flags | (child->job != nullptr ? CREATE_SUSPENDED : 0);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                      command.folder.empty() ? nullptr : wide_folder.c_str(), &startup, &process)) {
    *error = command.name + ": " + SystemErrorText(GetLastError());
    return false;
  }
  child->process = process.hProcess;
  if (child->job != nullptr && !AssignProcessToJobObject(child->job, process.hProcess)) {
    CloseHandle(child->job);
    child->job = nullptr;
  }
  if ((flags & CREATE_SUSPENDED) != 0) ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return true;
}

void WaitForChildProcess(ChildProcess& child, const std::string& name, bool endable, ProcessResult& result) {
  HANDLE request = endable ? EndRequestEvent() : nullptr;
  const HANDLE waits[2] = {child.process, request};
  const DWORD count = request != nullptr ? 2 : 1;
  DWORD woke = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
  if (woke == WAIT_OBJECT_0 + 1) {
    if (child.job != nullptr) {
      TerminateJobObject(child.job, kEndedExitCode);
    } else {
      TerminateProcess(child.process, kEndedExitCode);
    }
    result.stopped = true;
    woke = WaitForSingleObject(child.process, INFINITE);
  }
  DWORD exit_code = 0;
  if (woke != WAIT_OBJECT_0 || !GetExitCodeProcess(child.process, &exit_code)) {
    result.error = "waiting for " + name + ": " + SystemErrorText(GetLastError());
    return;
  }
  result.exit_code = static_cast<int>(exit_code);
}

}  // namespace norvo::platform
