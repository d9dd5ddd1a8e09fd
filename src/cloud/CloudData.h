#pragma once
// The account service's replies as the cloud browser reads them, and the
// names it derives from them: the customer's folder and the temporary file
// of a restore. Pure functions, no Qt.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/AccountService.h"

namespace norvo::cloud {

// At most this many (file name, size text) pairs are kept from the size table.
inline constexpr std::size_t kMaxSizePairs = 101;

using SizePair = std::pair<std::string, std::string>;  // file name, size in KB as text

// The Tipo=8 reply: fields each ended by ";", taken in turn as a file name
// and its size. A last field with no ";" behind it is dropped, and so is a
// name whose size never arrived; pairs beyond the 101st are not kept.
std::vector<SizePair> ParseSizeTable(std::string_view reply);

// The customer's cloud folder: base path + customer code + "/" + computer name.
std::string CustomerFolder(const run::AccountFields& fields, std::string_view customerCode,
                           std::string_view computerName);

// The stored Cliente decoded; a value that is not valid Base64 gives the
// empty text (the account service is still asked with the stored value).
std::string DecodeCustomerCode(std::string_view stored);

// The temporary name of a download to `destination`: the destination without
// its last three characters, followed by "TMP" ("copia.rar" -> "copia.TMP").
// When that would be the destination itself (a name ending in "TMP") or
// would leave the destination's folder (a file name of three characters or
// fewer), ".TMP" is appended instead, so the temporary file can never be the
// restored file or land elsewhere.
std::string TemporaryName(std::string_view destination);

}  // namespace norvo::cloud
