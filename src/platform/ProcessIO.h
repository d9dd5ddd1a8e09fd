#pragma once
// Running a helper program with text on its standard input: RunWithInput
// collects both output streams whole, for short tools whose answer is small
// (crontab); RunChild keeps only the end of standard error, for programs that
// may write without end (an archiver packing many files, its password on
// standard input).
#include <cstddef>
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

struct ChildRunOptions {
  std::string input;                    // written to its standard input, which is then closed
  std::string working_folder;           // where it starts; empty: where this program is
  std::size_t kept_error_bytes = 4096;  // how much of the end of standard error is kept
  ProcessOptions process;               // whether it ends with this program (it does by default)
};

struct ChildRun {
  ProcessResult result;
  std::string error_tail;  // the last kept_error_bytes it wrote on standard error
};

// Starts argv[0] as RunWithInput does, feeds options.input, throws its
// standard output away and keeps the end of its standard error, so that its
// memory stays bounded whatever the program writes; blocks until it has ended.
ChildRun RunChild(const std::vector<std::string>& argv, const ChildRunOptions& options);

}  // namespace norvo::platform
