#include "platform/IniFile.h"

#include <ini.h>

namespace norvo::platform {
namespace {

struct Reading {
  const std::string* section;
  const IniTake* take;
  std::string refused;
};

int OnEntry(void* user, const char* section, const char* name, const char* value) {
  auto& reading = *static_cast<Reading*>(user);
  if (*reading.section != section) return 1;  // other sections are for others
  reading.refused = (*reading.take)(name, value);
  return reading.refused.empty() ? 1 : 0;  // inih then returns this line's number
}

}  // namespace

IniReading ReadIniSection(const std::string& file, const std::string& section, const IniTake& take) {
  Reading reading{&section, &take, {}};
  IniReading result;
  const int rc = ini_parse(file.c_str(), OnEntry, &reading);
  result.opened = rc != -1;
  result.ok = rc == 0;
  if (rc > 0) {
    result.line = rc;
    result.error = reading.refused.empty() ? "not a valid line" : reading.refused;
  } else if (rc != 0) {
    result.error = rc == -1 ? "cannot be opened" : "cannot be read";
  }
  return result;
}

}  // namespace norvo::platform
