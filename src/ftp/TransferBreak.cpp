#include "ftp/TransferBreak.h"

#include "net/FtpErrors.h"
#include "net/FtpText.h"
#include "platform/EndRequest.h"

namespace norvo::ftp {

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
      return false;
  }
}

}  // namespace norvo::ftp
