#include "run/FtpFailure.h"

#include "net/FtpErrors.h"

namespace norvo::run {
namespace {

// Line breaks become blanks; blanks at the end go.
std::string OneLine(std::string text) {
  for (char& c : text) c = c == '\r' || c == '\n' ? ' ' : c;
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

std::string FtpFailure(const net::FtpSession& session) {
  if (session.LastError() == net::ftp_error::kExtendedError && !session.LastResponse().empty())
    return OneLine(session.LastResponse());
  std::string text = OneLine(net::FtpErrorText(session.LastError()));
  if (!session.FailureDetail().empty()) text += " (" + OneLine(session.FailureDetail()) + ")";
  return text;
}

}  // namespace norvo::run
