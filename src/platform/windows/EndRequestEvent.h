#pragma once
// The Windows side of end requests (EndRequest.h) that waits need: an event
// set when the first request arrives, so that a wait for a child or a
// transfer can wait for it too.
#include <windows.h>

namespace norvo::platform {

// A manual-reset event, set by the first request; null while requests are
// not caught (CatchEndRequests was not called).
HANDLE EndRequestEvent();

}  // namespace norvo::platform
