#pragma once
// Reading one section of an INI file. On POSIX the inih library reads it; on
// Windows the system's own reader (GetPrivateProfileStringW), so each system
// reads the file by the rules its administrators know.
#include <functional>
#include <string>

namespace norvo::platform {

// Takes one key and its value (blanks around it and a trailing "; comment"
// removed). Returns the empty text to go on, or why the value is refused,
// which ends the reading.
using IniTake = std::function<std::string(const std::string& key, const std::string& value)>;

struct IniReading {
  bool ok = false;      // the whole section was read and every value taken
  bool opened = false;  // false: the file cannot be opened
  int line = 0;         // the line of the failure; 0 when the reader does not tell
  std::string error;    // why the reading failed
};

// Hands every key of `section` to `take`, in the order of the file. Where the
// reader checks the syntax (inih), a line that is not a section header, a
// key = value or a comment fails the reading too.
IniReading ReadIniSection(const std::string& file, const std::string& section, const IniTake& take);

}  // namespace norvo::platform
