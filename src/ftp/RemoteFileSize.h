#pragma once
// A remote file's size as a listing of its folder gives it. A folder is not a
// file: one of the same name never passes for the file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/FindData.h"

namespace norvo::net {
class FtpSession;
}

namespace norvo::ftp {

bool IsFolder(const FindData& entry);

// The size of the file of exactly that name among the entries; nothing when
// they hold no such file.
std::optional<int64_t> FileSizeIn(const std::vector<FindData>& entries, std::string_view name);

// The entries of the session's current folder; nothing when the listing
// fails (the session's LastError says why).
std::optional<std::vector<FindData>> ListedEntries(net::FtpSession& session);

// The size of the file `name` of the session's current folder; -1 when the
// listing fails or holds no such file.
int64_t ListedFileSize(net::FtpSession& session, const std::string& name);

// The size of the file `name` of the session's current folder as the server
// holds it: SIZE (in binary type) where FEAT offers it, else the listing; -1
// when neither knows the file.
int64_t HeldFileSize(net::FtpSession& session, const std::string& name);

}  // namespace norvo::ftp
