#pragma once
// How callers turn setting texts into numbers and flags. Three rules, as the
// run applies them: the lenient leading number, the strict number and the
// Boolean; the 16-bit conversion fails outside -32768..32767.
#include <cstdint>
#include <optional>
#include <string_view>

namespace norvo::settings {

// The decimal number at the start of the text (blanks inside it are skipped);
// empty or non-numeric text gives 0. Never fails.
double LeadingNumber(std::string_view text);

// The whole text as a number, blanks around it allowed; nothing when the text
// is empty or is not a number.
std::optional<double> StrictNumber(std::string_view text);

// Rounded to the nearest whole number, a half to the even one (2.5 gives 2).
double RoundHalfToEven(double number);

// Rounded to the nearest integer (ties to even); nothing when out of 16-bit range.
std::optional<std::int16_t> ToInt16(double number);

// "True"/"False" in any letter case, or a number (non-zero is true); nothing
// for empty or other text.
std::optional<bool> ToBoolean(std::string_view text);

}  // namespace norvo::settings
