// Listings, file sizes and the search behind them. The folder is listed whole
// (MLSD or LIST) and the pattern matched here, without regard to case.
#include <ctime>

#include "ftp/FileTime.h"
#include "ftp/ListingParser.h"
#include "ftp/Pattern.h"
#include "ftp/RemoteFileSize.h"
#include "ftp/cFTP.h"
#include "net/FtpErrors.h"
#include "net/FtpSession.h"
#include "net/FtpText.h"

namespace norvo::ftp {

cFTP::Search cFTP::Find(const std::string& filter, std::vector<FindData>* found) {
  std::string folder = net::RemoteParent(filter);
  std::string base = net::RemoteBaseName(filter);
  const std::string pattern = base.empty() ? std::string(1, '*') : base;
  std::string text;
  bool machine = false;
  bool listed = session_->List(folder, &text, &machine);
  if (!listed && !session_->TransferStarted()) {
    // A named folder that does not exist holds nothing that could match.
    int code = net::ReplyCode(session_->LastResponse());
    bool missing = session_->LastError() == net::ftp_error::kExtendedError &&
                   (code == 550 || code == 450 || code == 501);
    return !folder.empty() && missing ? Search::NoMatch : Search::Failed;
  }
  if (!listed) text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
  for (FindData& entry : ParseListing(text, machine, std::time(nullptr))) {
    if (MatchesPattern(pattern, entry.name)) found->push_back(std::move(entry));
  }
  if (!listed) return Search::FailedPartway;
  return found->empty() ? Search::NoMatch : Search::Found;
}

int64_t cFTP::GetFTPFileSize64(const std::string& sFile) {
  if (!NeedConnection("FtpFindFirstFile")) return -2;
  // Blanks become the one-character wildcard, so names with blanks are found.
  std::string pattern = sFile;
  for (char& c : pattern) {
    if (c == ' ') c = '?';
  }
  std::vector<FindData> found;
  Search result = Find(pattern, &found);
  if (result == Search::FailedPartway) {
    // A listing that broke off (or passed its bounds) vouches for no size.
    RecordSessionError("FtpFindFirstFile");
    return -2;
  }
  // The file of exactly that name wins over others the wildcards also match.
  if (std::optional<int64_t> size = FileSizeIn(found, net::RemoteBaseName(sFile))) return *size;
  for (const FindData& entry : found) {
    if (!IsFolder(entry)) return entry.size;
  }
  if (result == Search::NoMatch || result == Search::Found) return -1;  // folders only
  RecordSessionError("FtpFindFirstFile");
  return -2;
}

int32_t cFTP::GetFTPFileSize(const std::string& sFile) {
  int64_t size = GetFTPFileSize64(sFile);
  return size < 0 ? static_cast<int32_t>(size) : static_cast<int32_t>(static_cast<uint32_t>(size));
}

std::shared_ptr<cDirList> cFTP::GetDirectoryListing(const std::string& sFilter) {
  directoryList_.reset();
  if (!NeedConnection("FtpFindFirstFile")) return nullptr;
  std::vector<FindData> found;
  Search result = Find(sFilter, &found);
  if (result == Search::NoMatch) return nullptr;
  if (found.empty()) {
    RecordSessionError("FtpFindFirstFile");
    return nullptr;
  }
  std::shared_ptr<cDirList> list = Directory();
  for (const FindData& entry : found) {
    list->Add64(entry.attributes, FileTimeToDate(entry.creation_time), FileTimeToDate(entry.last_access_time),
                FileTimeToDate(entry.last_write_time), entry.size, entry.name);
  }
  if (result == Search::Found) return list;
  // The listing broke off: what was read stays reachable through Directory().
  RecordSessionError("InternetFindNextFile");
  return nullptr;
}

}  // namespace norvo::ftp
