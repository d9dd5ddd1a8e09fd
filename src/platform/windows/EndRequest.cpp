// End requests on Windows: the console's control events (Ctrl+C, Ctrl+Break,
// the console window closed, the user logging off, the system shutting down)
// caught with SetConsoleCtrlHandler. The system calls the handler on a thread
// of its own.
#include "platform/EndRequest.h"

#include <atomic>

#include "platform/windows/EndRequestEvent.h"

namespace {

// Program-wide by nature: the console's events reach the process, not an object.
constexpr DWORD kNoRequest = 0xFFFFFFFF;
std::atomic<DWORD> g_request{kNoRequest};
std::atomic<HANDLE> g_event{nullptr};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  DWORD none = kNoRequest;
  // A second request takes the system's way out: the process ends at once.
  if (!g_request.compare_exchange_strong(none, event)) return FALSE;
  if (HANDLE set = g_event.load(); set != nullptr) SetEvent(set);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // Closing, logging off and shutting down end the process as soon as the
  // handler returns: it stays here so that the run can end its archiver and
  // report, within the few seconds the system gives before it ends it anyway.
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

namespace norvo::platform {

void CatchEndRequests() {
  if (g_event.load() == nullptr) g_event.store(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool EndRequested() { return g_request.load() != kNoRequest; }

std::string EndRequestName() {
  switch (g_request.load()) {
    case kNoRequest:
      return "";
    case CTRL_C_EVENT:
      return "CTRL_C_EVENT";
    case CTRL_BREAK_EVENT:
      return "CTRL_BREAK_EVENT";
    case CTRL_CLOSE_EVENT:
      return "CTRL_CLOSE_EVENT";
    case CTRL_LOGOFF_EVENT:
      return "CTRL_LOGOFF_EVENT";
    case CTRL_SHUTDOWN_EVENT:
      return "CTRL_SHUTDOWN_EVENT";
    default:
      return "console event " + std::to_string(g_request.load());
  }
}

HANDLE EndRequestEvent() { return g_event.load(); }

}  // namespace norvo::platform
