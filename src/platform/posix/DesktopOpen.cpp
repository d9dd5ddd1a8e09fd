#include "platform/DesktopOpen.h"

#include "platform/Process.h"

namespace norvo::platform {

// xdg-open may live as long as the browser it started: it is started as the
// catch-up run is, detached, and collected when it ends.
bool OpenWithDesktop(const std::string& address, std::string* error) {
  if (address.empty()) {
    if (error) *error = "no address to open";
    return false;
  }
  return StartDetachedProcess({"xdg-open", address}, error);
}

}  // namespace norvo::platform
