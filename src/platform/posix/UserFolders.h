#pragma once
#include <string>

namespace norvo::platform {

// The user's home folder: $HOME, else the password database's entry.
std::string HomeFolder();
// ${XDG_CONFIG_HOME:-~/.config}
std::string ConfigHome();

}  // namespace norvo::platform
