#include "platform/Process.h"

#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "platform/posix/ChildWait.h"
#include "platform/posix/Spawn.h"

namespace norvo::platform {

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  pid_t pid = 0;
  SpawnSetup setup;
  setup.endsWithParent = options.endsWithCaller;
  if (!SpawnProgram(argv, setup, &pid, &result.error)) return result;
  result.started = true;
  WaitForChild(pid, argv[0], options.endsWithCaller, result);
  return result;
}

bool StartDetachedProcess(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || argv[0].empty()) {
    if (error) *error = "no program to start";
    return false;
  }
  // A session of its own: closing the terminal this program was started
  // from does not hang up the run.
  SpawnSetup setup;
  setup.ownSession = true;
  pid_t pid = 0;
  std::string why;
  if (!SpawnProgram(argv, setup, &pid, &why)) {
    if (error) *error = why;
    return false;
  }
  // A thread that only reaps the child, so that it leaves no zombie; it
  // holds nothing but the process id, and when this program ends first the
  // system adopts the child.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace norvo::platform
