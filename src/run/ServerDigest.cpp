#include "run/ServerDigest.h"

#include "net/FtpText.h"
#include "run/FtpFailure.h"

namespace norvo::run {

DigestPlan PlanDigest(const net::FtpSession& session) {
  DigestPlan plan;
  for (const net::DigestCommand& command : net::OfferedDigests(session.Features())) {
    plan.local = platform::MakeDigest(command.kind);
    if (plan.local) {
      plan.command = command;
      break;
    }
  }
  return plan;
}

DigestVerdict CompareServerDigest(net::FtpSession& session, const net::DigestCommand& command,
                                  const std::string& remote, const std::string& localHex, std::string* why) {
  const std::string name = platform::DigestName(command.kind);
  std::string reply;
  const std::string path = net::ResolveRemotePath(session.CurrentDirectory(), remote);
  if ((!command.choose.empty() && !session.SendCommand("OPTS HASH " + command.choose, &reply)) ||
      !session.SendCommand(command.verb + " " + path, &reply)) {
    *why = "the server gave no " + name + " digest of " + remote + " (" + command.verb + ": " +
           FtpFailure(session) + "); its size is checked instead";
    return DigestVerdict::NotAvailable;
  }
  const std::optional<std::string> server = net::DigestInReply(reply, command.kind);
  if (!server) {
    *why = "the server's " + name + " digest of " + remote + " could not be read: " + reply;
    return DigestVerdict::Different;
  }
  if (*server != localHex) {
    *why = "the " + name + " digests of " + remote + " differed: the server has " + *server +
           ", the local file " + localHex;
    return DigestVerdict::Different;
  }
  return DigestVerdict::Same;
}

}  // namespace norvo::run
