#pragma once
// Small text helpers of every layer above the platform: letter case, trimming
// and splitting. Letter case is ASCII only, whatever the process locale, so
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

}  // namespace norvo::settings
