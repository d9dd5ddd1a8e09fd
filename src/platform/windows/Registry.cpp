// The settings store on the Windows registry (advapi32, wide calls). Text
// values cross as UTF-16 and reach the program as UTF-8 bytes, written
// without a terminating NUL as the store's other backend writes them.
#include "platform/Registry.h"

#include <cstring>
#include <vector>

#include "platform/windows/StoreRoot.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

bool IsText(RegType type) { return type == RegType::String || type == RegType::ExpandString; }

class WindowsKey final : public RegistryKey {
 public:
  explicit WindowsKey(HKEY key) : key_(key) {}
  ~WindowsKey() override { RegCloseKey(key_); }
  WindowsKey(const WindowsKey&) = delete;
  WindowsKey& operator=(const WindowsKey&) = delete;

  std::optional<RegValue> Query(std::string_view name) override {
    const std::wstring wide_name = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::vector<unsigned char> bytes(size);
    // The value may grow between the two calls: ask again with the new size.
    LSTATUS rc = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, bytes.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      bytes.resize(size);
      rc = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, bytes.data(), &size);
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size);
    RegValue value;
    value.type = static_cast<RegType>(type);
    if (!IsText(value.type)) {
      value.data = std::move(bytes);
      return value;
    }
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    const std::string utf8 = Narrow(text);
    value.data.assign(utf8.begin(), utf8.end());
    return value;
  }

  bool Set(std::string_view name, const RegValue& value) override {
    std::vector<unsigned char> bytes = value.data;
    if (IsText(value.type)) {
      const std::wstring text =
          Widen(std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
      bytes.resize(text.size() * sizeof(wchar_t));
      if (!text.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    }
    return RegSetValueExW(key_, Widen(name).c_str(), 0, static_cast<DWORD>(value.type), bytes.data(),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
      wchar_t name[16384];  // the registry's longest value name, with its NUL
      DWORD length = sizeof(name) / sizeof(name[0]);
      if (RegEnumValueW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      names.push_back(Narrow(std::wstring_view(name, length)));
    }
    return names;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> OpenRegistryKey(RegHive hive, std::string_view path) {
  const RegistryPlace place = PlaceOfKey(hive, path);
  HKEY key = nullptr;
  if (place.hive == nullptr ||
      RegOpenKeyExW(place.hive, place.path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<WindowsKey>(key);
}

std::unique_ptr<RegistryKey> CreateRegistryKey(RegHive hive, std::string_view path, std::string* error) {
  const RegistryPlace place = PlaceOfKey(hive, path);
  if (place.hive == nullptr) {
    if (error) *error = "unknown hive";
    return nullptr;
  }
  HKEY key = nullptr;
  const LSTATUS rc = RegCreateKeyExW(place.hive, place.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    if (error) *error = Narrow(place.path) + ": " + SystemErrorText(static_cast<DWORD>(rc));
    return nullptr;
  }
  return std::make_unique<WindowsKey>(key);
}

}  // namespace norvo::platform
