#include "platform/posix/Spawn.h"

extern char** environ;

namespace norvo::platform {

std::vector<char*> ArgvPointers(const std::vector<std::string>& args) {
  std::vector<char*> pointers;
  pointers.reserve(args.size() + 1);
  for (const std::string& arg : args) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

int SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions, pid_t* pid,
                 const posix_spawnattr_t* attributes) {
  std::vector<char*> args = ArgvPointers(argv);
  const bool has_path = argv[0].find('/') != std::string::npos;
  return has_path ? posix_spawn(pid, args[0], actions, attributes, args.data(), environ)
                  : posix_spawnp(pid, args[0], actions, attributes, args.data(), environ);
}

}  // namespace norvo::platform
