#pragma once
// Facts about this computer and small file operations, behind one interface
// so that the Windows build supplies its own (kernel32) implementation.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::platform {

// The computer's name as the network knows it (the host name up to its first ".").
std::string ComputerName();

// A place where work files can be made: a local disk the user can write to,
// named by a root folder that ends in the path separator.
struct Drive {
  std::string root;
  double free_gib = 0;  // free space for this user, in GiB (1024^3 bytes)
};
std::vector<Drive> WritableLocalDrives();
// Whether the user can create files in this folder.
bool IsWritableFolder(const std::string& folder);
// The root folder named by the stored drive setting: on Windows its first
// character as a drive letter ("d" gives "d:\\"), on POSIX the folder itself.
std::string DriveRootFromSetting(const std::string& setting);

// The path itself when it exists, the empty text when it does not (the
// POSIX meaning of a short path name).
std::string ShortPath(const std::string& path);

// True when a search for the pattern yields a plain file: for a path that ends
// in the separator, when the folder holds at least one file; otherwise when a
// file (not a folder) matches the name, which may hold * and ? wildcards.
bool AnyFileMatches(const std::string& pattern);

bool CreateFolder(const std::string& path);
// Lets only this user read, write or enter the file or folder (on POSIX a
// folder 0700, a file 0600, whatever the umask made it; on Windows a DACL of
// its own, which also lets in SYSTEM, the Administrators and the services
// that write dumps there); false when that cannot be done (it is missing, or
// another user's).
bool MakePrivate(const std::string& path);
bool RemoveFile(const std::string& path);
// Moves an open file's position to `offset` bytes from its start, past 2 GiB
// too (std::fseek takes a long, 32 bits on Windows).
bool SeekFile(std::FILE* file, int64_t offset);
bool FileExists(const std::string& path);

// The folder that holds the running program, ending in the separator.
std::string ProgramFolder();

// Another program of this installation: the program folder, its name and the
// suffix of programs on this platform ("Norvo_T" gives ...\Norvo_T.exe on Windows).
std::string SiblingProgram(std::string_view name);

// The folder of configuration shared by every user of this computer, ending
// in the separator: /etc/norvo/, or %ProgramData%\Norvo\ on Windows.
std::string SharedConfigFolder();

// The program's arguments after its name, as UTF-8 text (on Windows read from
// the wide command line: argv holds them in the ANSI code page).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// An environment variable as UTF-8 text; empty when it is not set.
std::string EnvironmentValue(const char* name);

// The ODBC driver that reaches SQL Server when the provider names none:
// FreeTDS on POSIX, the "SQL Server" driver that every Windows has.
inline constexpr const char* kDefaultOdbcDriver =
#ifdef _WIN32
    "SQL Server";
#else
    "FreeTDS";
#endif

// The path separator of this platform ("/" or "\").
inline constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// What separates the folders of the PATH variable.
inline constexpr char kPathListSeparator =
#ifdef _WIN32
    ';';
#else
    ':';
#endif

// Whether file names are compared without regard to case (as Windows does).
inline constexpr bool kNamesIgnoreCase =
#ifdef _WIN32
    true;
#else
    false;
#endif

// What a program's file name ends in on this platform (".exe" or nothing).
inline constexpr const char* kProgramSuffix =
#ifdef _WIN32
    ".exe";
#else
    "";
#endif

// Whether the path names its place from the root: "/..." on POSIX; on
// Windows a drive letter followed by ":\" (or ":/"), or a "\\server" path.
inline bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') &&
                     path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  return drive || path.starts_with("\\\\");
#else
  return path.starts_with('/');
#endif
}

// Local broken-down time of a moment, and back. FromLocalTime takes fields
// out of their ranges (a 40th day, a year before 1970) as mktime does.
std::tm LocalTime(std::time_t moment);
std::time_t FromLocalTime(std::tm local);
// How far local time is ahead of UTC at that moment, in seconds.
long UtcOffsetSeconds(std::time_t moment);

}  // namespace norvo::platform
