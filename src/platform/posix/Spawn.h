#pragma once
// Starting a child program on POSIX: its arguments as a vector, never through
// a shell, so blanks and quotes in them are data.
#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace norvo::platform {

// The argument vector of execve and posix_spawn: pointers into args, then a
// null pointer. Valid while args is.
std::vector<char*> ArgvPointers(const std::vector<std::string>& args);

// Starts argv[0] (a path, or a name looked up on PATH) with the file actions
// and attributes given (each may be null) and the program's environment. 0
// with the child's id in *pid, or the error number of the failed start.
int SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions, pid_t* pid,
                 const posix_spawnattr_t* attributes = nullptr);

}  // namespace norvo::platform
