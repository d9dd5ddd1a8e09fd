#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/ChildWait.h"

extern char** environ;

namespace norvo::platform {

ProcessResult RunAndWaitProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const bool has_path = argv[0].find('/') != std::string::npos;
  int rc = has_path ? posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ)
                    : posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
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
