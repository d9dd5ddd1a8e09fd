#pragma once
// A request from outside to end the program: on POSIX the signals SIGTERM
// (shutdown, kill), SIGINT (Ctrl+C) and SIGHUP (the session closed); on
// Windows the console's events (Ctrl+C, Ctrl+Break, the console closed, log-off,
// shutdown), named as the system names them ("CTRL_C_EVENT", ...). Caught,
// it becomes a value the program checks at its next step, so that it can end
// the child it waits for, clean up and say why instead of dying mid-way.
#include <string>

namespace norvo::platform {

// From now on the first request is recorded instead of ending the program; a
// second one ends the program at once, as if nothing were caught. A child
// that RunAndWaitProcess or RunWithInput waits for is ended when a request
// arrives (ProcessResult::stopped).
void CatchEndRequests();

// Whether a request arrived, and its name ("SIGTERM", "CTRL_C_EVENT", ...;
// empty while none).
bool EndRequested();
std::string EndRequestName();

}  // namespace norvo::platform
