#include "settings/Conversions.h"

#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "settings/Text.h"

namespace norvo::settings {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

// Reads sign, digits, fraction and exponent from text at pos (skipping blanks
// between them when allowed); returns the characters of the number taken and
// moves pos past them.
std::string TakeNumber(std::string_view text, size_t& pos, bool skip_inner_blanks) {
  std::string number;
  auto skip = [&] {
    while (skip_inner_blanks && pos < text.size() && IsBlank(text[pos])) ++pos;
  };
  skip();
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number += text[pos++];
  skip();
  bool digits = false;
  while (pos < text.size()) {
    if (std::isdigit(static_cast<unsigned char>(text[pos]))) {
      number += text[pos++];
      digits = true;
    } else if (skip_inner_blanks && IsBlank(text[pos])) {
      ++pos;
    } else {
      break;
    }
  }
  if (pos < text.size() && text[pos] == '.') {
    number += text[pos++];
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
      number += text[pos++];
      digits = true;
    }
  }
  if (!digits) return "";
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    size_t back = pos;
    std::string exponent = "e";
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) exponent += text[pos++];
    bool exp_digits = false;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
      exponent += text[pos++];
      exp_digits = true;
    }
    if (exp_digits) {
      number += exponent;
    } else {
      pos = back;
    }
  }
  return number;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  size_t pos = 0;
  std::string number = TakeNumber(text, pos, true);
  if (number.empty()) return 0;
  double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

std::optional<double> StrictNumber(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  std::string number = TakeNumber(text, pos, false);
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (number.empty() || pos != text.size()) return std::nullopt;
  double value = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double RoundHalfToEven(double number) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(number);
  std::fesetround(saved);
  return rounded;
}

std::optional<std::int16_t> ToInt16(double number) {
  if (!std::isfinite(number)) return std::nullopt;
  const double rounded = RoundHalfToEven(number);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

std::optional<bool> ToBoolean(std::string_view text) {
  const std::string_view word = Trim(text, kBlanks);
  if (EqualsIgnoreCase(word, "true")) return true;
  if (EqualsIgnoreCase(word, "false")) return false;
  if (auto number = StrictNumber(word)) return *number != 0;
  return std::nullopt;
}

}  // namespace norvo::settings
