#pragma once
// Where the settings store lives in the registry. Normally the keys sit
// directly under their hives; NORVO_REGISTRY_ROOT (a key path such as
// "NorvoTests\run1") moves every key of every hive below
// HKEY_CURRENT_USER\Software\<root>\<hive name>, so tests and trials work in
// a throwaway key and never touch the real settings.
#include <windows.h>

#include <string>

#include "platform/Registry.h"

namespace norvo::platform {

// The value of NORVO_REGISTRY_ROOT, empty when it is not set.
std::string RegistryRootOverride();

struct RegistryPlace {
  HKEY hive = nullptr;
  std::wstring path;
};
// The hive and path where a key of the program's hives really is; no hive
// for a hive handle the program does not use.
RegistryPlace PlaceOfKey(RegHive hive, std::string_view path);

}  // namespace norvo::platform
