#include "ftp/RemoteFileSize.h"

#include <ctime>

#include "ftp/ListingParser.h"
#include "net/FtpSession.h"

namespace norvo::ftp {

bool IsFolder(const FindData& entry) { return (entry.attributes & kAttrDirectory) != 0; }

std::optional<int64_t> FileSizeIn(const std::vector<FindData>& entries, std::string_view name) {
  for (const FindData& entry : entries) {
    if (entry.name == name && !IsFolder(entry)) return entry.size;
  }
  return std::nullopt;
}

int64_t ListedFileSize(net::FtpSession& session, const std::string& name) {
  std::string text;
  bool machine = false;
  if (!session.List("", &text, &machine)) return -1;
  return FileSizeIn(ParseListing(text, machine, std::time(nullptr)), name).value_or(-1);
}

}  // namespace norvo::ftp
