#include "platform/posix/ChildWait.h"

#include <sys/wait.h>

#include <cerrno>
#include <cstring>

namespace norvo::platform {

void WaitForChild(pid_t pid, const std::string& name, ProcessResult& result) {
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) {
    result.error = "waiting for " + name + ": " + std::strerror(errno);
    return;
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace norvo::platform
