#pragma once
// Starting a child program on POSIX: its arguments as a vector, never through
// a shell, so blanks and quotes in them are data. Every program this one
// starts goes through SpawnProgram. It forks and execs itself rather than
// calling posix_spawn, which cannot give the child a parent-death signal.
#include <sys/types.h>

#include <string>
#include <vector>

namespace norvo::platform {

// The argument vector of execve: pointers into args, then a null pointer.
// Valid while args is.
std::vector<char*> ArgvPointers(const std::vector<std::string>& args);

// How the child starts. The descriptors become its standard input, output and
// error: -1 gives /dev/null for input and leaves output and error as they are.
struct SpawnSetup {
  int in = -1;
  int out = -1;
  int err = -1;
  std::string folder;       // where it starts; empty: where this program is
  bool ownSession = false;  // a session of its own: a closed terminal does not hang it up
  // Killed (SIGKILL) when the thread that started it dies, however it dies:
  // the caller blocks until the child has ended.
  bool endsWithParent = false;
};

// Starts argv[0] (a path, or a name looked up on PATH) with the program's
// environment. True with the child's id in *pid; false with the reason in
// *error, which names the folder when the folder, not the program, failed.
bool SpawnProgram(const std::vector<std::string>& argv, const SpawnSetup& setup, pid_t* pid,
                  std::string* error);

}  // namespace norvo::platform
