#pragma once
// The settings routines that both programs use: named text values under one
// registry key. A missing value or key reads as empty; no routine reports a
// failure to its caller.
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace norvo::settings {

using platform::RegHive;
inline constexpr RegHive kCurrentUser = platform::kHiveCurrentUser;
inline constexpr RegHive kLocalMachine = platform::kHiveLocalMachine;
// The key that holds every setting, directly under the current user's hive.
inline constexpr std::string_view kSettingsKey = "Norvo";

// A value of an open key as text: REG_SZ up to its first NUL, REG_BINARY as
// the signed little-endian 16-bit number in its first two bytes, anything
// else (or a failure) as empty.
std::string RegQueryStringValue(platform::RegistryKey& hKey, std::string_view strValueName);

// Opens strPath under hKey without creating it and reads one value.
std::string GetString(RegHive hKey, std::string_view strPath, std::string_view strValue);

// Creates or opens strPath under hKey and writes strData as REG_SZ, without a NUL.
void SaveString(RegHive hKey, std::string_view strPath, std::string_view strValue, std::string_view strData);

// Shorthands for the settings key of the current user.
std::string ReadSetting(std::string_view name);
void WriteSetting(std::string_view name, std::string_view data);

}  // namespace norvo::settings
