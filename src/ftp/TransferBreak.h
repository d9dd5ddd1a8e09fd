#pragma once
// Whether a file transfer that failed may be taken up again on a new
// connection: the connection broke, timed out or could not be made, or the
// server refused for the moment (421, 425, 426, 451, ...). A lasting refusal
// (5xx), a local failure or a request to end the program is final.
#include "net/FtpSession.h"

namespace norvo::ftp {

bool TransferMayGoOn(const net::FtpSession& session);

// Whether a failed log-on may work when tried again: the server refused the
// connection or answered 421 (too many connections, from this address or in
// all), as servers that still count the connection just closed do.
bool LogOnMayWorkAgain(const net::FtpSession& session);

}  // namespace norvo::ftp
