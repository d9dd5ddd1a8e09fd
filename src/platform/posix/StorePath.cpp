#include "platform/posix/StorePath.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/UserFolders.h"

namespace norvo::platform {

std::string RegistryStorePath() {
  if (const char* explicit_path = std::getenv("NORVO_REGISTRY"); explicit_path && *explicit_path) {
    return explicit_path;
  }
  return ConfigHome() + "/norvo/registry.db";
}

std::string RegistryStoreDescription() {
  return "the file $NORVO_REGISTRY, else ${XDG_CONFIG_HOME:-~/.config}/norvo/registry.db";
}

bool EnsureStoreFolder(const std::string& file, std::string* why) {
  auto slash = file.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return true;
  std::string folder = file.substr(0, slash);
  // Create every missing level; only the last (our own) is made private.
  for (size_t pos = 1; pos != std::string::npos;) {
    pos = folder.find('/', pos + 1);
    std::string level = folder.substr(0, pos);
    bool last = pos == std::string::npos;
    if (::mkdir(level.c_str(), last ? 0700 : 0755) != 0 && errno != EEXIST) {
      *why = "cannot create " + level + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace norvo::platform
