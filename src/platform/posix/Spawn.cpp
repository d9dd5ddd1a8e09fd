#include "platform/posix/Spawn.h"

extern char** environ;

namespace norvo::platform {

int SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
                 pid_t* pid) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const bool has_path = argv[0].find('/') != std::string::npos;
  return has_path ? posix_spawn(pid, args[0], actions, nullptr, args.data(), environ)
                  : posix_spawnp(pid, args[0], actions, nullptr, args.data(), environ);
}

}  // namespace norvo::platform
