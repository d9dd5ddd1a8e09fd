#include "platform/Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/ChildWait.h"
#include "platform/posix/Spawn.h"

namespace norvo::platform {

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int rc = SpawnProgram(argv, &actions, &pid);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    result.error = argv[0] + ": " + std::strerror(rc);
    return result;
  }
  result.started = true;
  WaitForChild(pid, argv[0], result);
  return result;
}

}  // namespace norvo::platform
