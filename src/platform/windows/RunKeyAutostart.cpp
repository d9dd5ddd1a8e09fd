// Start at log-on on Windows: the "Norvo Backup" value of the machine-wide
// Run key. Writing it needs administrator rights; a value that already names
// the program is left alone, so that only a change needs them.
#include <cstring>

#include "platform/Autostart.h"
#include "platform/System.h"
#include "platform/windows/StoreRoot.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"Norvo Backup";

// The command the shell runs at log-on. A path with a blank is quoted, or
// "C:\Program Files\..." would first be tried as C:\Program.exe.
std::wstring CommandOf(const std::string& path) {
  const std::wstring wide = Widen(path);
  return path.find(' ') == std::string::npos ? wide : L"\"" + wide + L"\"";
}

bool AlreadyRegistered(const RegistryPlace& place, const std::wstring& command) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(place.hive, place.path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  std::wstring stored(command.size() + 2, L'\0');
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
  const LSTATUS rc =
      RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(stored.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  stored.resize(size / sizeof(wchar_t));
  while (!stored.empty() && stored.back() == L'\0') stored.pop_back();
  return stored == command;
}

}  // namespace

std::string StartAtLogonLocation() {
  const std::string root = RegistryRootOverride();
  const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(kRunKey);
  return (root.empty() ? key : "HKEY_CURRENT_USER\\Software\\" + root + "\\" + key) + "\\" +
         Narrow(kValueName);
}

bool RegisterStartAtLogon(const std::string& program_folder, const std::string& program, std::string* error) {
  const std::string path = program_folder + program + kProgramSuffix;
  std::string why;
  if (program.empty() || path.find_first_of("\"\r\n") != std::string::npos) {
    why = "unusable program path";
  } else {
    const RegistryPlace place = PlaceOfKey(kHiveLocalMachine, kRunKey);
    const std::wstring command = CommandOf(path);
    if (AlreadyRegistered(place, command)) return true;
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(place.hive, place.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
      // The shell reads the text up to its terminating NUL, which is stored too.
      rc = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
    if (rc == ERROR_SUCCESS) return true;
    why = StartAtLogonLocation() + ": " + SystemErrorText(static_cast<DWORD>(rc));
  }
  if (error) *error = why;
  return false;
}

}  // namespace norvo::platform
