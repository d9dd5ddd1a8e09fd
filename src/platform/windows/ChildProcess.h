#pragma once
// Starting a child with CreateProcessW and waiting for it, shared by the
// process routines. A child that ends with its caller runs in a job object of
// its own that kills it, and whatever it started, when the job's last handle
// closes: when the caller ends, however it ends, the system closes that handle.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Process.h"

namespace norvo::platform {

struct ChildProcess {
  HANDLE process = nullptr;
  HANDLE job = nullptr;  // null for a child that does not end with its caller
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // closes the handles: a child of a job is killed then
};

// The command line of argv by the rules the C runtime splits it with.
std::wstring CommandLineOf(const std::vector<std::string>& argv);

struct ChildCommand {
  std::string name;            // the program as the caller named it, for messages
  std::wstring line;           // the whole command line, the program first
  std::string folder;          // where it starts; empty: where this program is
  DWORD flags = 0;             // creation flags besides CREATE_NO_WINDOW
  bool endsWithCaller = true;  // ProcessOptions::endsWithCaller
};

// The command of argv (CommandLineOf) with the given options.
ChildCommand CommandOf(const std::vector<std::string>& argv, const ProcessOptions& options);

// Starts the command's program (looked up as the system looks up a command)
// with the startup information's standard handles. False, with the reason in
// *error, when it cannot be started.
bool StartChildProcess(const ChildCommand& command, STARTUPINFOW& startup, ChildProcess* child,
                       std::string* error);

// Blocks until the child has ended and fills exit_code, or error when it
// cannot be waited for; `name` names it there. When `endable`, an end request
// (EndRequest.h) ends the child and what it started at once (no program here
// listens for a gentler request) and sets result.stopped.
void WaitForChildProcess(ChildProcess& child, const std::string& name, bool endable, ProcessResult& result);

}  // namespace norvo::platform
