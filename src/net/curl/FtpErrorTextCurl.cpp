#include "net/FtpErrors.h"

namespace norvo::net {

// libcurl has no texts of these codes: the table gives them on every platform.
std::string FtpErrorText(unsigned code) { return FtpErrorTableText(code); }

}  // namespace norvo::net
