// Starting a program with CreateProcessW and waiting on its handle. Each
// argument is quoted by the rules the C runtime uses to split a command line,
// so a blank or a quote inside one arrives whole.
#include "platform/Process.h"

#include "platform/SchtasksCommand.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

std::string CommandLineOf(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += ' ';
    line += QuoteWindowsArgument(argument);
  }
  return line;
}

// The null device as an inheritable handle, so that the child's standard
// input is closed as on POSIX; nothing when it cannot be opened.
HANDLE OpenNullInput() {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                     nullptr);
}

}  // namespace

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  std::wstring command = Widen(CommandLineOf(argv));
  HANDLE input = OpenNullInput();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = input;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  // No application name: the first argument is looked up as the system
  // looks up a command (the program's folder, the system folders, PATH; ".exe" added).
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &process);
  const DWORD why = GetLastError();
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (!started) {
    result.error = argv[0] + ": " + SystemErrorText(why);
    return result;
  }
  result.started = true;
  CloseHandle(process.hThread);
  DWORD exit_code = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &exit_code)) {
    result.error = "waiting for " + argv[0] + ": " + SystemErrorText(GetLastError());
  } else {
    result.exit_code = static_cast<int>(exit_code);
  }
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace norvo::platform
