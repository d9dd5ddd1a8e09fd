#include "platform/posix/ChildWait.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/EndRequest.h"

namespace norvo::platform {
namespace {

// How long a child asked to end (SIGTERM) may take to clean up before it is killed.
constexpr int kGraceMs = 5000;

// Collects the child's status. `stop` (kernels without pidfd): an end
// request, which interrupts the wait, kills the child at once.
void Reap(pid_t pid, int* status, std::string* error, bool* stop = nullptr) {
  pid_t waited;
  for (;;) {
    if (stop != nullptr && !*stop && EndRequested()) {
      ::kill(pid, SIGKILL);
      *stop = true;
    }
    waited = ::waitpid(pid, status, 0);
    if (waited >= 0 || errno != EINTR) break;
  }
  if (waited < 0) *error = std::strerror(errno);
}

// Whether the child ended within the time (its pidfd became readable).
bool EndsWithin(int pidfd, int milliseconds) {
  pollfd entry{pidfd, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void EndChild(pid_t pid, int pidfd) {
  ::kill(pid, SIGTERM);
  if (!EndsWithin(pidfd, kGraceMs)) ::kill(pid, SIGKILL);
}

// Waits, with the child's pidfd, until it ends or an end request arrives;
// true when the request came first.
bool WaitOrEndRequest(int pidfd) {
  const int wake = EndRequestWakeFd();
  while (!EndRequested()) {
    pollfd entries[2] = {{pidfd, POLLIN, 0}, {wake, POLLIN, 0}};
    const int ready = ::poll(entries, wake >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0 && entries[0].revents != 0) return false;
  }
  return true;
}

}  // namespace

void WaitForChild(pid_t pid, const std::string& name, bool endable, ProcessResult& result) {
  const int pidfd = endable ? static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)) : -1;
  if (pidfd >= 0) {
    if (WaitOrEndRequest(pidfd)) {
      EndChild(pid, pidfd);
      result.stopped = true;
    }
    ::close(pidfd);
  }
  int status = 0;
  std::string error;
  Reap(pid, &status, &error, endable && pidfd < 0 ? &result.stopped : nullptr);
  if (!error.empty()) {
    result.error = "waiting for " + name + ": " + error;
    return;
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace norvo::platform
