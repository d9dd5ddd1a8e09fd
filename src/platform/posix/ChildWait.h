#pragma once
// Waiting for a started child and recording how it ended.
#include <sys/types.h>

#include <string>

#include "platform/Process.h"

namespace norvo::platform {

// Blocks until the child has ended (no polling) and fills exit_code and
// signal, or error when it cannot be waited for; `name` names it there.
void WaitForChild(pid_t pid, const std::string& name, ProcessResult& result);

}  // namespace norvo::platform
