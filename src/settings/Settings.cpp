#include "settings/Settings.h"

#include <cstdint>

namespace norvo::settings {

using platform::RegType;

std::string RegQueryStringValue(platform::RegistryKey& hKey, std::string_view strValueName) {
  auto value = hKey.Query(strValueName);
  if (!value) return "";
  switch (value->type) {
    case RegType::String: {
      std::string text(value->data.begin(), value->data.end());
      return text.substr(0, text.find('\0'));
    }
    case RegType::Binary: {
      // The first two bytes as a signed 16-bit number; fewer bytes are padded with zeros.
      std::uint16_t raw = 0;
      if (!value->data.empty()) raw = value->data[0];
      if (value->data.size() > 1) raw |= static_cast<std::uint16_t>(value->data[1] << 8);
      return std::to_string(static_cast<std::int16_t>(raw));
    }
    default:
      return "";
  }
}

std::string GetString(RegHive hKey, std::string_view strPath, std::string_view strValue) {
  auto key = platform::OpenRegistryKey(hKey, strPath);
  if (!key) return "";
  return RegQueryStringValue(*key, strValue);
}

void SaveString(RegHive hKey, std::string_view strPath, std::string_view strValue, std::string_view strData) {
  auto key = platform::CreateRegistryKey(hKey, strPath);
  if (!key) return;
  platform::RegValue value{RegType::String, {strData.begin(), strData.end()}};
  key->Set(strValue, value);
}

std::string ReadSetting(std::string_view name) { return GetString(kCurrentUser, kSettingsKey, name); }

void WriteSetting(std::string_view name, std::string_view data) {
  SaveString(kCurrentUser, kSettingsKey, name, data);
}

}  // namespace norvo::settings
