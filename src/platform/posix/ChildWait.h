#pragma once
// Waiting for a started child, shared by the process routines.
#include <sys/types.h>

#include <string>

#include "platform/Process.h"

namespace norvo::platform {

// Blocks until the child has ended (no polling) and fills exit_code and
// signal, or error when it cannot be waited for; `name` names it there. When
// `endable`, an end request (EndRequest.h) ends the child: SIGTERM, and
// SIGKILL if it is still there a few seconds later; result.stopped is set.
void WaitForChild(pid_t pid, const std::string& name, bool endable, ProcessResult& result);

// The read end of the pipe that an end request writes into; -1 while end
// requests are not caught.
int EndRequestWakeFd();

}  // namespace norvo::platform
