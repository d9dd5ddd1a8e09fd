#pragma once
// Programs run with pipes on Windows. Most callers hand over an argument
// vector (ProcessIO.h); a caller whose command line has a documented form of
// its own (the task scheduler's) hands over that text as it is.
#include <cstddef>
#include <string>

#include "platform/Process.h"

namespace norvo::platform {

struct PipedRun {
  ProcessResult result;
  std::string out;  // standard output, when kept
  std::string err;  // the end of standard error
};

struct PipedOptions {
  std::string input;                                 // written to standard input, which is then closed
  std::string working_folder;                        // empty: where this program is
  bool keep_out = true;                              // false: standard output goes to the null device
  std::size_t kept_error_bytes = std::string::npos;  // how much of the end of standard error is kept
  ProcessOptions process;                            // whether it ends with this program
};

// Starts `program` (a path, or a name the system looks up as it looks up a
// command) with a hidden window; `arguments` follows its quoted name on the
// command line exactly as given. Feeds the input, drains the outputs at the
// same time and blocks until the program has ended.
PipedRun RunCommandLine(const std::string& program, const std::string& arguments,
                        const PipedOptions& options);

// Console programs write their messages in the OEM code page when their output
// is a pipe: this text as UTF-8 (text that already is UTF-8 is kept).
std::string FromConsoleText(const std::string& bytes);

}  // namespace norvo::platform
