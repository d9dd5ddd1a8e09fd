#include "net/FtpErrors.h"

#include <cerrno>

namespace norvo::net {
namespace {

struct Entry {
  unsigned code;
  const char* text;
};

constexpr Entry kTexts[] = {
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {18, "There are no more files."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {12002, "The operation timed out"},
    {12003,
     "An extended error was returned from the server. This is typically a string or buffer "
     "containing a verbose error message. Call InternetGetLastResponseInfo to retrieve the "
     "error text."},
    {12004, "An internal error occurred in the Microsoft Internet extensions."},
    {12005, "The URL is invalid"},
    {12007, "The server name or address could not be resolved"},
    {12015, "The request to connect and log on to an FTP server failed."},
    {12017, "The operation was canceled"},
    {12029, "A connection with the server could not be established"},
    {12030, "The connection with the server was terminated abnormally"},
    {12031, "The connection with the server was reset"},
    {12111, "The FTP operation was not completed because the session was aborted."},
    {12152, "The server response could not be parsed: it was larger than the client accepts"},
    {12157, "An error occurred in the secure channel support"},
};

}  // namespace

std::string FtpErrorTableText(unsigned code) {
  for (const Entry& entry : kTexts) {
    if (entry.code == code) return std::string(entry.text) + "\r\n";
  }
  return {};
}

unsigned FtpErrorFromErrno(int error_number) {
  switch (error_number) {
    case ENOENT:
      return ftp_error::kFileNotFound;
    case ENOTDIR:
      return ftp_error::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ftp_error::kAccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return ftp_error::kDiskFull;
    default:
      return ftp_error::kWriteFault;
  }
}

}  // namespace norvo::net
