#include "platform/DesktopOpen.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace norvo::platform {

bool OpenWithDesktop(const std::string& address, std::string* error) {
  if (address.empty()) {
    if (error) *error = "no address to open";
    return false;
  }
  std::string program = "xdg-open", argument = address;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ);
  if (rc != 0) {
    if (error) *error = "xdg-open: " + std::string(std::strerror(rc));
    return false;
  }
  // xdg-open may live as long as the browser it started: it is collected
  // when it ends, without holding the caller.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace norvo::platform
