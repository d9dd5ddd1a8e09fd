#pragma once
// Starting the tray program when the user logs on. On POSIX an XDG autostart
// entry; on Windows the "Norvo Backup" value of the machine-wide Run key.
#include <string>

namespace norvo::platform {

// Registers `program` (a name without extension) of `program_folder` (which
// ends in the path separator) to start at log-on. An entry that already says
// the same is left as it is. False with the reason in *error on failure.
bool RegisterStartAtLogon(const std::string& program_folder, const std::string& program,
                          std::string* error = nullptr);

// The file or key that holds the registration, for messages and tests.
std::string StartAtLogonLocation();

}  // namespace norvo::platform
