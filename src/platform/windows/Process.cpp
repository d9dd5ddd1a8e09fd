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

}  // namespace

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  HANDLE input = OpenNullInput();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = input;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  ChildProcess child;
  const bool started = StartChildProcess(argv, "", startup, options.endsWithCaller, &child, &result.error);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (!started) return result;
  result.started = true;
  WaitForChildProcess(child, argv[0], options.endsWithCaller, result);
  return result;
}

}  // namespace norvo::platform
