#include "platform/windows/StoreRoot.h"

#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {

std::string RegistryRootOverride() { return EnvironmentValue("NORVO_REGISTRY_ROOT"); }

std::string RegistryStoreDescription() {
  return "the registry, below HKEY_CURRENT_USER\\Software\\%NORVO_REGISTRY_ROOT% when that is set";
}

RegistryPlace PlaceOfKey(RegHive hive, std::string_view path) {
  const char* hive_name = hive == kHiveCurrentUser    ? "HKEY_CURRENT_USER"
                          : hive == kHiveLocalMachine ? "HKEY_LOCAL_MACHINE"
                                                      : nullptr;
  if (hive_name == nullptr) return {};
  const std::string root = RegistryRootOverride();
  if (root.empty()) return {hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, Widen(path)};
  return {HKEY_CURRENT_USER, Widen("Software\\" + root + "\\" + hive_name + "\\" + std::string(path))};
}

}  // namespace norvo::platform
