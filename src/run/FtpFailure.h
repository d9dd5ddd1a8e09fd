#pragma once
// Why a request of an FTP session failed, on one line for stderr: the
// server's reply (code and text) when it refused, else the failure and what
// the library said of it (a refused certificate, a reset connection).
#include <string>

#include "net/FtpSession.h"

namespace norvo::run {

std::string FtpFailure(const net::FtpSession& session);

}  // namespace norvo::run
