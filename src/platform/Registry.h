#pragma once
// The registry seam: hives of keys holding named, typed values. On POSIX an
// embedded store in one SQLite file stands in for the Windows registry; on
// Windows the same interface wraps advapi32.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::platform {

// Hive handles keep their Windows values so stored data and callers agree.
using RegHive = std::uint32_t;
inline constexpr RegHive kHiveCurrentUser = 0x80000001u;
inline constexpr RegHive kHiveLocalMachine = 0x80000002u;

// Value types, numbered as the Windows registry numbers them.
enum class RegType : std::uint32_t {
  None = 0,
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,        // REG_BINARY
  Dword = 4,         // REG_DWORD
};

struct RegValue {
  RegType type = RegType::None;
  std::vector<unsigned char> data;
};

// An open key. Closing is the destructor.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value's type and raw bytes, or nothing when it is missing or unreadable.
  virtual std::optional<RegValue> Query(std::string_view name) = 0;
  // Stores the value (replacing one of the same name in any letter case).
  virtual bool Set(std::string_view name, const RegValue& value) = 0;
  // Names of the values under this key, in the order they were first written.
  virtual std::vector<std::string> ValueNames() = 0;
};

// Opens an existing key; nothing when the key or the store does not exist.
std::unique_ptr<RegistryKey> OpenRegistryKey(RegHive hive, std::string_view path);
// Opens a key, creating it (and the store) when missing; nothing on failure,
// with the reason in *error when given.
std::unique_ptr<RegistryKey> CreateRegistryKey(RegHive hive, std::string_view path,
                                               std::string* error = nullptr);

// Where the store is, in words for help texts.
std::string RegistryStoreDescription();

}  // namespace norvo::platform
