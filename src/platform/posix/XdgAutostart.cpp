#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/Autostart.h"
#include "platform/posix/StorePath.h"
#include "platform/posix/UserFolders.h"

namespace norvo::platform {
namespace {

// A path as one argument of a desktop entry's Exec key: quoted when it holds
// a reserved character, "%" doubled for the field codes, and every backslash
// doubled again because Exec is itself an escaped string value.
std::string ExecArgument(const std::string& path) {
  static const char* const kReserved = " \t\"'\\><~|&;$*?#`()";
  std::string argument;
  if (path.find_first_of(kReserved) == std::string::npos) {
    argument = path;
  } else {
    argument = "\"";
    for (char c : path) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') argument += '\\';
      argument += c;
    }
    argument += '"';
  }
  std::string value;
  for (char c : argument) {
    if (c == '%') value += '%';
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

std::string EntryText(const std::string& program_path) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Norvo Backup\n"
         "Exec=" +
         ExecArgument(program_path) +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool SameContent(const std::string& file, const std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream current;
  current << in.rdbuf();
  return current.str() == text;
}

// Writes a temporary file beside the target and renames it over the target,
// so that a reader sees the old entry or the new one, never a part.
bool WriteAtomically(const std::string& file, const std::string& text, std::string* why) {
  std::string temporary = file + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    *why = "cannot create a file beside " + file + ": " + std::strerror(errno);
    return false;
  }
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool complete = written == text.size() && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
  const int saved_errno = errno;
  ::close(fd);
  if (!complete || ::rename(temporary.c_str(), file.c_str()) != 0) {
    *why = "cannot write " + file + ": " + std::strerror(complete ? errno : saved_errno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string StartAtLogonLocation() { return ConfigHome() + "/autostart/norvo.desktop"; }

bool RegisterStartAtLogon(const std::string& program_folder, const std::string& program, std::string* error) {
  std::string why;
  const std::string path = program_folder + program;
  if (program.empty() || path.find_first_of("\r\n") != std::string::npos) {
    why = "unusable program path";
  } else {
    const std::string file = StartAtLogonLocation();
    const std::string text = EntryText(path);
    if (SameContent(file, text)) return true;
    if (EnsureStoreFolder(file, &why) && WriteAtomically(file, text, &why)) return true;
  }
  if (error) *error = why;
  return false;
}

}  // namespace norvo::platform
