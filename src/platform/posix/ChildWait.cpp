#include "platform/posix/ChildWait.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/EndRequest.h"

extern char** environ;

namespace norvo::platform {
namespace {

// How long a child asked to end (SIGTERM) may take to clean up before it is killed.
constexpr int kGraceMs = 5000;

// The program a name stands for, as execvp would find it; empty when none.
std::string FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr && *path != '\0' ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + name;
    struct stat info {};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

// Only async-signal-safe calls between fork and exec: the program may have threads.
[[noreturn]] void BecomeChild(const char* program, char* const* args, const ChildStreams& streams,
                              int devnull, int report, bool endsWithParent, pid_t parent) {
  if (endsWithParent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent died before the line above
  }
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  ::sigaction(SIGPIPE, &standard, nullptr);  // the caller may ignore it while it feeds a pipe
  ::dup2(streams.in >= 0 ? streams.in : devnull, STDIN_FILENO);
  if (streams.out >= 0) ::dup2(streams.out, STDOUT_FILENO);
  if (streams.err >= 0) ::dup2(streams.err, STDERR_FILENO);
  // The parent reads errno back: negative when the folder, not the program, failed.
  int why = 0;
  if (!streams.folder.empty() && ::chdir(streams.folder.c_str()) != 0) {
    why = -errno;
  } else {
    ::execve(program, args, environ);
    why = errno;
  }
  [[maybe_unused]] const ssize_t written = ::write(report, &why, sizeof why);
  ::_exit(127);
}

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

bool StartChild(const std::vector<std::string>& argv, const ChildStreams& streams, bool endsWithParent,
                pid_t* pid, std::string* error) {
  const std::string program = FindProgram(argv[0]);
  if (program.empty()) {
    *error = argv[0] + ": " + std::strerror(ENOENT);
    return false;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int report[2];
  if (devnull < 0 || ::pipe2(report, O_CLOEXEC) != 0) {
    *error = argv[0] + ": " + std::strerror(errno);
    if (devnull >= 0) ::close(devnull);
    return false;
  }
  const pid_t parent = ::getpid();
  *pid = ::fork();
  if (*pid == 0)
    BecomeChild(program.c_str(), args.data(), streams, devnull, report[1], endsWithParent, parent);
  const int forkError = errno;
  ::close(report[1]);
  ::close(devnull);
  int why = 0;
  ssize_t got = 0;
  if (*pid > 0) {
    do {
      got = ::read(report[0], &why, sizeof why);
    } while (got < 0 && errno == EINTR);
  }
  ::close(report[0]);
  if (*pid < 0 || got == static_cast<ssize_t>(sizeof why)) {
    if (*pid > 0) {
      int status = 0;
      std::string ignored;
      Reap(*pid, &status, &ignored);
    }
    if (*pid > 0 && why < 0) {
      *error = streams.folder + ": " + std::strerror(-why);
    } else {
      *error = argv[0] + ": " + std::strerror(*pid < 0 ? forkError : why);
    }
    return false;
  }
  return true;
}

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
