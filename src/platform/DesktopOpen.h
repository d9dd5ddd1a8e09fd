#pragma once
// Opening a web address or a document with the program the user's desktop
// chooses for it: the shell's "open" verb (ShellExecuteW) on Windows,
// xdg-open on POSIX. Nothing waits for that program.
#include <string>

namespace norvo::platform {

// True when the desktop took the address; false with the reason in *error.
bool OpenWithDesktop(const std::string& address, std::string* error = nullptr);

}  // namespace norvo::platform
