#pragma once
// Starting another program and waiting for it. The program gets its arguments
// as a vector, never through a shell, so blanks and quotes in them are data.
#include <string>
#include <vector>

namespace norvo::platform {

struct ProcessResult {
  bool started = false;  // false: the program could not be started (see error)
  int exit_code = -1;    // the exit status when it ended normally
  int signal = 0;        // the signal that ended it, 0 when none
  bool stopped = false;  // this program ended it, being asked to end (EndRequest.h)
  std::string error;     // why it could not be started or waited for
  bool Succeeded() const { return started && signal == 0 && exit_code == 0 && !stopped; }
};

struct ProcessOptions {
  // The child ends with this program: it is killed when the program dies,
  // however it dies, and ended when the program is asked to end while it
  // waits (EndRequest.h). Right for a helper that works on this program's
  // files (an archiver), which must never outlive it; wrong for a program
  // that should finish its work on its own (a backup run started by the tray).
  bool endsWithCaller = true;
};

// Starts argv[0] (a path, or a name looked up on PATH) with the given
// arguments, with standard input closed, and blocks until it has ended.
ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// Starts argv[0] as RunAndWaitProcess does, without a window and without
// waiting for it, as the task scheduler would: the program goes on when this
// one ends, and nothing is left behind of it when it ends first. False with
// the reason in *error when it cannot be started.
bool StartDetachedProcess(const std::vector<std::string>& argv, std::string* error = nullptr);

}  // namespace norvo::platform
