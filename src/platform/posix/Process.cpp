#include "platform/Process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/posix/ChildWait.h"
#include "platform/posix/Spawn.h"

namespace norvo::platform {
namespace {

// Starts argv[0] (a path, or a name looked up on PATH) with standard input
// closed and the given attributes (may be null). 0 with the child's id in
// *pid, or the error number of the failed start.
int SpawnWithoutInput(const std::vector<std::string>& argv, const posix_spawnattr_t* attributes, pid_t* pid) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  const int rc = SpawnProgram(argv, &actions, pid, attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

}  // namespace

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  pid_t pid = 0;
  const int rc = SpawnWithoutInput(argv, nullptr, &pid);
  if (rc != 0) {
    result.error = argv[0] + ": " + std::strerror(rc);
    return result;
  }
  result.started = true;
  WaitForChild(pid, argv[0], result);
  return result;
}

bool StartDetachedProcess(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || argv[0].empty()) {
    if (error) *error = "no program to start";
    return false;
  }
  // A session of its own: closing the terminal this program was started
  // from does not hang up the run.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = SpawnWithoutInput(argv, &attributes, &pid);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    if (error) *error = argv[0] + ": " + std::strerror(rc);
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
