#pragma once
// Small text helpers of every layer above the platform: letter case, trimming,
// splitting and wildcard patterns. Letter case is ASCII only, whatever the process locale, so
// file names, setting names and server replies compare the same everywhere.
#include <string>
#include <string_view>
#include <vector>

namespace norvo::settings {

// "A" to "Z" made lower case; every other byte stays as it is.
char AsciiLower(char c);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The text without the given characters at its start and end.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");

// The parts between the separators, empty parts included ("a,,b" gives
// "a", "", "b"; "" gives one empty part).
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Whether the name matches the pattern: "*" any run of characters, "?" any one
// character, any other character one that `same(pattern_char, name_char)`
// accepts. Greedy, going back only to the last "*": never exponential,
// whatever the pattern. Callers choose the characters (bytes or code points)
// and the letter-case rule.
template <typename Char, typename Same>
bool MatchesWildcards(std::basic_string_view<Char> pattern, std::basic_string_view<Char> name, Same same) {
  constexpr auto kNone = std::basic_string_view<Char>::npos;
  std::size_t p = 0, n = 0, star = kNone, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == Char('*')) {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == Char('?') || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star != kNone) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == Char('*')) ++p;
  return p == pattern.size();
}

}  // namespace norvo::settings
