#include "ftp/RemoteFileSize.h"

#include <ctime>

#include "ftp/ListingParser.h"
#include "net/FtpSession.h"
#include "net/FtpText.h"

namespace norvo::ftp {

bool IsFolder(const FindData& entry) { return (entry.attributes & kAttrDirectory) != 0; }

std::optional<int64_t> FileSizeIn(const std::vector<FindData>& entries, std::string_view name) {
  for (const FindData& entry : entries) {
    if (entry.name == name && !IsFolder(entry)) return entry.size;
  }
  return std::nullopt;
}

std::optional<std::vector<FindData>> ListedEntries(net::FtpSession& session) {
  std::string text;
  bool machine = false;
  if (!session.List("", &text, &machine)) return std::nullopt;
  return ParseListing(text, machine, std::time(nullptr));
}

int64_t ListedFileSize(net::FtpSession& session, const std::string& name) {
  const std::optional<std::vector<FindData>> entries = ListedEntries(session);
  return entries ? FileSizeIn(*entries, name).value_or(-1) : -1;
}

int64_t HeldFileSize(net::FtpSession& session, const std::string& name) {
  if (net::FeatOffers(session.Features(), "SIZE")) {
    std::string reply;
    const std::string path = net::ResolveRemotePath(session.CurrentDirectory(), name);
    if (session.SendCommand("TYPE I", &reply) && session.SendCommand("SIZE " + path, &reply)) {
      if (const std::optional<int64_t> size = net::ParseSizeReply(reply)) return *size;
    }
  }
  return ListedFileSize(session, name);
}

}  // namespace norvo::ftp
