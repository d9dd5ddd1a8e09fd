#pragma once
// Runs a program and waits for it to end while the windows keep painting:
// the wait itself blocks a helper thread on the process (no polling), and the
// user-interface thread runs an event loop that takes no user input meanwhile.
#include <string>

#include "platform/Process.h"

namespace norvo::tray {

// Starts the program at path, without arguments, and returns when it has ended.
platform::ProcessResult Ejecutar_y_Esperar(const std::string& path);

}  // namespace norvo::tray
