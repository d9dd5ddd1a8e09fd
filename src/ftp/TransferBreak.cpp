#include "ftp/TransferBreak.h"

#include "net/FtpErrors.h"
#include "net/FtpText.h"
#include "platform/EndRequest.h"

namespace norvo::ftp {
namespace {

// Socket errors that WinINet passes on as they are (Wine does for a reset
// data connection): WSAENETDOWN, WSAENETUNREACH, WSAENETRESET,
// WSAECONNABORTED, WSAECONNRESET, WSAETIMEDOUT, WSAECONNREFUSED,
// WSAEHOSTUNREACH.
bool IsBrokenSocket(unsigned code) {
  for (const unsigned broken : {10050U, 10051U, 10052U, 10053U, 10054U, 10060U, 10061U, 10065U}) {
    if (code == broken) return true;
  }
  return false;
}

}  // namespace

bool TransferMayGoOn(const net::FtpSession& session) {
  if (platform::EndRequested()) return false;
  switch (session.LastError()) {
    case net::ftp_error::kTimeout:
    case net::ftp_error::kCannotConnect:
    case net::ftp_error::kConnectionAborted:
    case net::ftp_error::kConnectionReset:
    case net::ftp_error::kFtpDropped:
      return true;
    case net::ftp_error::kExtendedError:
      return net::ReplyCode(session.LastResponse()) / 100 == 4;
    default:
      return IsBrokenSocket(session.LastError());
  }
}

bool LogOnMayWorkAgain(const net::FtpSession& session) {
  return session.LastError() == net::ftp_error::kCannotConnect ||
         (session.LastError() == net::ftp_error::kExtendedError &&
          net::ReplyCode(session.LastResponse()) == 421);
}

}  // namespace norvo::ftp
