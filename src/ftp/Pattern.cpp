#include "ftp/Pattern.h"

#include "settings/Text.h"

namespace norvo::ftp {
namespace {

bool SameLetter(char a, char b) { return settings::AsciiLower(a) == settings::AsciiLower(b); }

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern.empty() || pattern == "*.*") return true;
  // Greedy match with one backtrack point (the last "*"): linear in practice
  // and never exponential, whatever the pattern.
  size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && SameLetter(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace norvo::ftp
