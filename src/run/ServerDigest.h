#pragma once
// The server's proof of an uploaded file: the digest it computes of the file
// it holds (HASH, XSHA256, XSHA1, XMD5 or XCRC, as its FEAT offers) against
// the digest the upload computed of the bytes it sent.
#include <memory>
#include <optional>
#include <string>

#include "net/FtpDigest.h"
#include "net/FtpSession.h"
#include "platform/Digest.h"
#include "run/DigestCheckpoints.h"

namespace norvo::run {

// The strongest digest both the server (by its FEAT at log-on) and this
// system can make; an empty plan when there is none.
struct DigestPlan {
  std::optional<net::DigestCommand> command;
  std::unique_ptr<platform::Digest> local;  // fed with the bytes as they are sent
  DigestCheckpoints checkpoints;            // copies of `local` on the way
};
DigestPlan PlanDigest(const net::FtpSession& session);

enum class DigestVerdict {
  Same,         // the server holds the bytes that were sent
  Different,    // it does not, or its reply holds no digest of the right length
  NotAvailable  // the command was refused or got no reply: the size check decides
};

// Asks the server for its digest of `remote` and compares it with the local
// one (`localHex`). *why says, for the diagnostics, what differed or failed.
DigestVerdict CompareServerDigest(net::FtpSession& session, const net::DigestCommand& command,
                                  const std::string& remote, const std::string& localHex, std::string* why);

}  // namespace norvo::run
