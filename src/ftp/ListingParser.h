#pragma once
// Parsers of FTP directory listings. Pure functions: a line in, an entry (or
// nothing for lines that name no entry: "total", ".", "..", the folder itself,
// or text that is not a listing line) out.
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "ftp/FindData.h"

namespace norvo::ftp {

// An MLSD line: "fact=value;fact=value; name" (RFC 3659). Times are UTC.
std::optional<FindData> ParseMlsdLine(std::string_view line);

// A Unix "ls -l" line, with the date as "Mon dd hh:mm" (within the last half
// year: the year is taken from `now`) or "Mon dd yyyy". Names may hold blanks;
// a symbolic link gives the link's own name. Times are taken as UTC.
std::optional<FindData> ParseUnixListLine(std::string_view line, std::time_t now);

// An MS-DOS / IIS line: "12-07-26  05:56AM  <DIR>  name" or with a size in
// place of <DIR>; two- or four-digit years.
std::optional<FindData> ParseDosListLine(std::string_view line);

// Any LIST line: Unix form first, then MS-DOS form.
std::optional<FindData> ParseListLine(std::string_view line, std::time_t now);

// Every entry of a whole listing text (lines end in CR LF or LF).
std::vector<FindData> ParseListing(std::string_view text, bool machine, std::time_t now);

}  // namespace norvo::ftp
