#pragma once
// Running a helper program with text on its standard input and its standard
// output and error collected, for short tools whose answer is small (crontab),
// or for a tool that takes a secret on its standard input (an archiver).
#include <string>
#include <vector>

#include "platform/Process.h"

namespace norvo::platform {

struct ProcessOutput {
  ProcessResult result;
  std::string out;  // what the program wrote on standard output
  std::string err;  // what it wrote on standard error
};

// Starts argv[0] (a path, or a name looked up on PATH) without a shell, writes
// `input` to its standard input and closes it, collects both output streams
// and waits for the program to end (ProcessOptions in Process.h).
ProcessOutput RunWithInput(const std::vector<std::string>& argv, const std::string& input,
                           const ProcessOptions& options = {});

}  // namespace norvo::platform
