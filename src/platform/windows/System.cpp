// Facts about this computer and file operations on kernel32. Paths cross as
// UTF-16; the calls the run has always made on ANSI text (the computer name,
// drive roots) keep their ANSI form.
#include "platform/System.h"

#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <string_view>

#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

bool EndsWithSeparator(std::string_view path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr std::int64_t kUnitsPerSecond = 10000000LL;

FILETIME FileTimeOfSeconds(std::int64_t seconds_since_1970) {
  const auto units =
      static_cast<std::uint64_t>((seconds_since_1970 + kSecondsFrom1601To1970) * kUnitsPerSecond);
  return {static_cast<DWORD>(units & 0xFFFFFFFFu), static_cast<DWORD>(units >> 32)};
}

std::int64_t SecondsOfFileTime(const FILETIME& time) {
  const std::uint64_t units = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(units / kUnitsPerSecond) - kSecondsFrom1601To1970;
}

// Days from 1970-01-01 to a civil date, for any month and day number
// (Howard Hinnant's days_from_civil after carrying the month into the year).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year += month >= 0 ? month / 12 : (month - 11) / 12;
  month = ((month % 12) + 12) % 12 + 1;
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::tm BrokenDown(const SYSTEMTIME& time) {
  std::tm out{};
  out.tm_year = time.wYear - 1900;
  out.tm_mon = time.wMonth - 1;
  out.tm_mday = time.wDay;
  out.tm_hour = time.wHour;
  out.tm_min = time.wMinute;
  out.tm_sec = time.wSecond;
  out.tm_wday = time.wDayOfWeek;
  out.tm_yday = static_cast<int>(DaysFromCivil(time.wYear, time.wMonth - 1, time.wDay) -
                                 DaysFromCivil(time.wYear, 0, 1));
  out.tm_isdst = -1;
  return out;
}

}  // namespace

std::string ComputerName() {
  char buffer[256] = {};
  DWORD size = sizeof(buffer);
  if (!GetComputerNameA(buffer, &size)) return "";
  return FromAnsi(std::string_view(buffer, size));
}

std::vector<Drive> WritableLocalDrives() {
  std::vector<Drive> drives;
  const DWORD present = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((present & (1u << letter)) == 0) continue;
    const std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
    if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED) continue;
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters,
                           &clusters)) {
      continue;
    }
    const double free_bytes = static_cast<double>(free_clusters) * sectors_per_cluster * bytes_per_sector;
    drives.push_back({root, free_bytes / 1024.0 / 1024.0 / 1024.0});
  }
  return drives;
}

bool IsWritableFolder(const std::string& folder) {
  const DWORD attributes = AttributesOf(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  // Whether a file can be made there is only known by making one.
  std::wstring probe = Widen(folder);
  if (!EndsWithSeparator(folder)) probe += L'\\';
  probe += L"norvo-" + std::to_wstring(GetCurrentProcessId()) + L".probe";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string DriveRootFromSetting(const std::string& setting) {
  if (setting.empty()) return "";
  return setting.substr(0, 1) + ":\\";
}

std::string ShortPath(const std::string& path) {
  if (path.empty()) return "";
  const std::wstring wide = Widen(path);
  const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (needed == 0) return "";
  std::wstring shorter(needed, L'\0');
  const DWORD length = GetShortPathNameW(wide.c_str(), shorter.data(), needed);
  if (length == 0 || length >= needed) return "";
  shorter.resize(length);
  return Narrow(shorter);
}

bool AnyFileMatches(const std::string& pattern) {
  if (pattern.empty()) return false;
  std::wstring search = Widen(pattern);
  if (EndsWithSeparator(pattern)) search += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE handle = FindFirstFileW(search.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool file = false;
  do {
    file = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  } while (!file && FindNextFileW(handle, &found));
  FindClose(handle);
  return file;
}

bool CreateFolder(const std::string& path) { return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0; }

bool RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

bool SeekFile(std::FILE* file, int64_t offset) { return _fseeki64(file, offset, SEEK_SET) == 0; }

bool FileExists(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".\\";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

std::string SharedConfigFolder() {
  std::string data = EnvironmentValue("ProgramData");
  if (data.empty()) data = "C:\\ProgramData";
  if (!EndsWithSeparator(data)) data += '\\';
  return data + "Norvo\\";
}

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return arguments;
}

std::string EnvironmentValue(const char* name) {
  const std::wstring wide_name = Widen(name);
  const DWORD needed = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (needed == 0) return "";
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), needed);
  if (length == 0 || length >= needed) return "";
  value.resize(length);
  return Narrow(value);
}

// The C library's local time ignores the system's time zone settings and
// refuses dates before 1970; the system's own conversions handle both.
std::tm LocalTime(std::time_t moment) {
  const FILETIME utc = FileTimeOfSeconds(moment);
  SYSTEMTIME utc_parts{}, local{};
  if (!FileTimeToSystemTime(&utc, &utc_parts) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc_parts, &local)) {
    return std::tm{};
  }
  return BrokenDown(local);
}

std::time_t FromLocalTime(std::tm local) {
  // Normalise the fields as mktime would, then let the system move the wall
  // clock time to UTC under the time zone's rules for that date.
  const std::int64_t days = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon, 1) + local.tm_mday - 1;
  const std::int64_t wall = days * 86400 + local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
  const FILETIME wall_time = FileTimeOfSeconds(wall);
  SYSTEMTIME wall_parts{}, utc_parts{};
  FILETIME utc{};
  if (!FileTimeToSystemTime(&wall_time, &wall_parts) ||
      !TzSpecificLocalTimeToSystemTime(nullptr, &wall_parts, &utc_parts) ||
      !SystemTimeToFileTime(&utc_parts, &utc)) {
    return static_cast<std::time_t>(-1);
  }
  return static_cast<std::time_t>(SecondsOfFileTime(utc));
}

}  // namespace norvo::platform
