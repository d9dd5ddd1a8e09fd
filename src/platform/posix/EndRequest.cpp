#include "platform/EndRequest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/posix/ChildWait.h"

namespace {

// Program-wide by nature: a signal reaches the process, not an object.
volatile std::sig_atomic_t g_request = 0;
// A pipe the handler writes one byte into, so that a wait in poll() wakes.
int g_wake[2] = {-1, -1};

}  // namespace

extern "C" {
static void OnEndRequest(int signal_number) {
  const int saved = errno;
  g_request = signal_number;
  if (g_wake[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wake[1], &byte, 1);
  }
  errno = saved;
}
}

namespace norvo::platform {

void CatchEndRequests() {
  if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) g_wake[0] = g_wake[1] = -1;
  struct sigaction action {};
  action.sa_handler = OnEndRequest;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;  // a second request takes the default way out
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal_number, &action, nullptr);
}

bool EndRequested() { return g_request != 0; }

std::string EndRequestName() {
  switch (g_request) {
    case 0:
      return "";
    case SIGTERM:
      return "SIGTERM";
    case SIGINT:
      return "SIGINT";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal " + std::to_string(g_request);
  }
}

int EndRequestWakeFd() { return g_wake[0]; }

}  // namespace norvo::platform
