#pragma once
// The ODBC headers of this platform: unixODBC's on POSIX, odbc32's on
// Windows, where they need the types of windows.h first.
#ifdef _WIN32
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
