#include "platform/Process.h"

#include "platform/posix/ChildWait.h"

namespace norvo::platform {

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  pid_t pid = 0;
  if (!StartChild(argv, ChildStreams{}, options.endsWithCaller, &pid, &result.error)) return result;
  result.started = true;
  WaitForChild(pid, argv[0], options.endsWithCaller, result);
  return result;
}

}  // namespace norvo::platform
