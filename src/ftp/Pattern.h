#pragma once
// File-name patterns as the listing takes them: "*" for any run of characters,
// "?" for any one character, letters compared without regard to case (ASCII).
// "*.*" matches every name, as it does on Windows. The match is done here
// because servers differ (some refuse patterns, some match case-sensitively).
#include <string_view>

namespace norvo::ftp {

bool MatchesPattern(std::string_view pattern, std::string_view name);

}  // namespace norvo::ftp
