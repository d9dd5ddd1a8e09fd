// Replies and host texts of the FTP session: PWD replies, reply codes, FEAT
// lines and "host:port" settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/FtpText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto folder = norvo::net::ParsePwdReply(text)) {
    if (folder->size() > text.size()) std::abort();
  }
  (void)norvo::net::ReplyCode(text);
  (void)norvo::net::IsFinalReplyLine(text);
  std::vector<std::string> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  (void)norvo::net::FeatOffersMlst(lines);
  if (auto server = norvo::net::SplitHostPort(text)) {
    if (server->host.empty() || server->port <= 0 || server->port > 65535) std::abort();
  }
  return 0;
}
