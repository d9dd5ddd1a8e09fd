#pragma once
#include <string>

namespace norvo::platform {

// $NORVO_REGISTRY, else ${XDG_CONFIG_HOME:-~/.config}/norvo/registry.db.
std::string RegistryStorePath();
// Creates the folder that holds the store (0700) when it is missing.
bool EnsureStoreFolder(const std::string& file, std::string* why);

}  // namespace norvo::platform
