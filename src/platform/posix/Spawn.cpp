#include "platform/posix/Spawn.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace norvo::platform {
namespace {

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
[[noreturn]] void BecomeChild(const char* program, char* const* args, const SpawnSetup& setup, int devnull,
                              int report, pid_t parent) {
  if (setup.endsWithParent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent died before the line above
  }
  if (setup.ownSession) ::setsid();
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  ::sigaction(SIGPIPE, &standard, nullptr);  // the caller may ignore it while it feeds a pipe
  ::dup2(setup.in >= 0 ? setup.in : devnull, STDIN_FILENO);
  if (setup.out >= 0) ::dup2(setup.out, STDOUT_FILENO);
  if (setup.err >= 0) ::dup2(setup.err, STDERR_FILENO);
  // The parent reads errno back: negative when the folder, not the program, failed.
  int why = 0;
  if (!setup.folder.empty() && ::chdir(setup.folder.c_str()) != 0) {
    why = -errno;
  } else {
    ::execve(program, args, environ);
    why = errno;
  }
  [[maybe_unused]] const ssize_t written = ::write(report, &why, sizeof why);
  ::_exit(127);
}

// Collects a child that could not become the program.
void ReapFailedChild(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::vector<char*> ArgvPointers(const std::vector<std::string>& args) {
  std::vector<char*> pointers;
  pointers.reserve(args.size() + 1);
  for (const std::string& arg : args) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

bool SpawnProgram(const std::vector<std::string>& argv, const SpawnSetup& setup, pid_t* pid,
                  std::string* error) {
  const std::string program = FindProgram(argv[0]);
  if (program.empty()) {
    *error = argv[0] + ": " + std::strerror(ENOENT);
    return false;
  }
  std::vector<char*> args = ArgvPointers(argv);
  const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int report[2];
  if (devnull < 0 || ::pipe2(report, O_CLOEXEC) != 0) {
    *error = argv[0] + ": " + std::strerror(errno);
    if (devnull >= 0) ::close(devnull);
    return false;
  }
  const pid_t parent = ::getpid();
  *pid = ::fork();
  if (*pid == 0) BecomeChild(program.c_str(), args.data(), setup, devnull, report[1], parent);
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
    if (*pid > 0) ReapFailedChild(*pid);
    if (*pid > 0 && why < 0) {
      *error = setup.folder + ": " + std::strerror(-why);
    } else {
      *error = argv[0] + ": " + std::strerror(*pid < 0 ? forkError : why);
    }
    return false;
  }
  return true;
}

}  // namespace norvo::platform
