#pragma once
// Text from outside (the account service, an FTP server, the settings store)
// made fit for a line of stderr, so that it can neither garble the line nor
// forge lines of its own.
#include <string>
#include <string_view>

namespace norvo::settings {

// The bytes as text: UTF-8 stays, other bytes are read as Windows-1252 (the
// code page the account service answers in).
std::string TextOfOutsideBytes(std::string_view bytes);

// The same, with every control character (CR, LF, tab and the rest of C0, DEL,
// the C1 range and the Unicode line and paragraph separators) written as an
// escape: "\r", "\n", "\t", "\xHH" or "\uHHHH"; a backslash stays as it is.
std::string DisplayText(std::string_view bytes);

}  // namespace norvo::settings
