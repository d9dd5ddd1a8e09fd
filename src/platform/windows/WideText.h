#pragma once
// Text at the Windows boundary: the program holds UTF-8, the wide system
// calls take UTF-16 and the ANSI ones the system's code page.
#include <windows.h>

#include <string>
#include <string_view>

namespace norvo::platform {

// UTF-8 to UTF-16 and back. Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// UTF-8 to the ANSI code page (characters it lacks become "?") and back.
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

// The system's text for an error code (GetLastError), without its line break.
std::string SystemErrorText(DWORD code);

}  // namespace norvo::platform
