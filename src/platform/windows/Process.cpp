// Starting a program with CreateProcessW and waiting on its handle. Each
// argument is quoted by the rules the C runtime uses to split a command line,
// so a blank or a quote inside one arrives whole (ChildProcess.h).
#include "platform/Process.h"

#include "platform/windows/ChildProcess.h"

namespace norvo::platform {
namespace {

// The null device as an inheritable handle, so that the child's standard
// input is closed as on POSIX; nothing when it cannot be opened.
HANDLE OpenNullInput() {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                     nullptr);
}

// Starts the command hidden, its standard input closed and its outputs those
// of this program. No application name: the program is looked up as the
// system looks up a command (the program's folder, the system folders, PATH;
// ".exe" added). False with the reason in *error.
bool StartHidden(const ChildCommand& command, ChildProcess* child, std::string* error) {
  HANDLE input = OpenNullInput();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = input;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  const bool started = StartChildProcess(command, startup, child, error);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  return started;
}

}  // namespace

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  ChildProcess child;
  if (!StartHidden(CommandOf(argv, options), &child, &result.error)) return result;
  result.started = true;
  WaitForChildProcess(child, argv[0], options.endsWithCaller, result);
  return result;
}

bool StartDetachedProcess(const std::vector<std::string>& argv, std::string* error) {
  std::string why = "no program to start";
  ProcessOptions options;
  options.endsWithCaller = false;
  ChildCommand command = argv.empty() ? ChildCommand{} : CommandOf(argv, options);
  // Its own process group: it is not ended with this program's console.
  command.flags = CREATE_NEW_PROCESS_GROUP;
  // Nothing is kept of it: the system frees the process when it ends.
  ChildProcess child;
  if (argv.empty() || argv[0].empty() || !StartHidden(command, &child, &why)) {
    if (error) *error = why;
    return false;
  }
  return true;
}

}  // namespace norvo::platform
