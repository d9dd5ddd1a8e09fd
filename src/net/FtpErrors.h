#pragma once
// Error codes of the FTP session, numbered as the Windows internet library
// numbers them (so that messages read the same on every platform), with the
// texts that go with them.
#include <string>

namespace norvo::net {

namespace ftp_error {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kFileNotFound = 2;       // local file missing
inline constexpr unsigned kPathNotFound = 3;       // local folder missing
inline constexpr unsigned kAccessDenied = 5;       // local file not allowed
inline constexpr unsigned kInvalidHandle = 6;      // no open connection
inline constexpr unsigned kWriteFault = 29;        // local write failed
inline constexpr unsigned kReadFault = 30;         // local read failed
inline constexpr unsigned kInvalidParameter = 87;  // e.g. a name with a line break
inline constexpr unsigned kDiskFull = 112;
inline constexpr unsigned kNoMoreFiles = 18;  // a search matched nothing
inline constexpr unsigned kTimeout = 12002;
inline constexpr unsigned kExtendedError = 12003;  // the server refused: see its reply
inline constexpr unsigned kInternalError = 12004;
inline constexpr unsigned kInvalidUrl = 12005;
inline constexpr unsigned kNameNotResolved = 12007;
inline constexpr unsigned kLoginFailure = 12015;
inline constexpr unsigned kOperationCancelled = 12017;
inline constexpr unsigned kCannotConnect = 12029;
inline constexpr unsigned kConnectionAborted = 12030;
inline constexpr unsigned kConnectionReset = 12031;
inline constexpr unsigned kFtpDropped = 12111;
inline constexpr unsigned kResponseTooLarge = 12152;  // a listing or reply past its bound
inline constexpr unsigned kSecurityChannelError = 12157;
}  // namespace ftp_error

// The text of a code, ending with its own CR LF line break; empty when there
// is none. The libcurl backend gives the table's text; the Windows internet
// backend asks the system (wininet.dll's messages) first.
std::string FtpErrorText(unsigned code);

// The text of a code in our own table, ending in CR LF; a code outside the
// table gives the empty text.
std::string FtpErrorTableText(unsigned code);

// The code of a local file error (an errno value).
unsigned FtpErrorFromErrno(int error_number);

}  // namespace norvo::net
