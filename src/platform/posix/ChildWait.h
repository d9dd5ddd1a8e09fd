#pragma once
// Starting a child and waiting for it, shared by the process routines.
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/Process.h"

namespace norvo::platform {

// The descriptors that become the child's standard input, output and error
// (-1 gives /dev/null for input and leaves output and error as they are), and
// the folder it starts in (empty: this program's).
struct ChildStreams {
  int in = -1;
  int out = -1;
  int err = -1;
  std::string folder;
};

// Starts argv[0] (a path, or a name looked up on PATH) without a shell. A
// child that ends with its parent is killed (SIGKILL) when the thread that
// started it dies, however it dies: the caller blocks in it until the child
// has ended. False, with the reason in *error, when it cannot be started.
bool StartChild(const std::vector<std::string>& argv, const ChildStreams& streams, bool endsWithParent,
                pid_t* pid, std::string* error);

// Blocks until the child has ended (no polling) and fills exit_code and
// signal, or error when it cannot be waited for; `name` names it there. When
// `endable`, an end request (EndRequest.h) ends the child: SIGTERM, and
// SIGKILL if it is still there a few seconds later; result.stopped is set.
void WaitForChild(pid_t pid, const std::string& name, bool endable, ProcessResult& result);

// The read end of the pipe that an end request writes into; -1 while end
// requests are not caught.
int EndRequestWakeFd();

}  // namespace norvo::platform
