#include "ftp/Pattern.h"

#include "settings/Text.h"

namespace norvo::ftp {

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern.empty() || pattern == "*.*") return true;
  return settings::MatchesWildcards(
      pattern, name, [](char a, char b) { return settings::AsciiLower(a) == settings::AsciiLower(b); });
}

}  // namespace norvo::ftp
