#include "run/OdbcConnectionString.h"

#include "settings/Text.h"

namespace norvo::run {

BraceStyle BraceStyleOf(std::string_view driver) {
  const std::string lower = settings::AsciiLower(driver);
  return lower.find("freetds") != std::string::npos || lower.find("tdsodbc") != std::string::npos
             ? BraceStyle::kVerbatim
             : BraceStyle::kDoubled;
}

std::optional<std::string> OdbcBraced(std::string_view value, BraceStyle style) {
  std::string braced = "{";
  if (style == BraceStyle::kVerbatim) {
    if (value.find("};") != std::string_view::npos) return std::nullopt;
    braced += value;
  } else {
    for (char c : value) {
      braced += c;
      if (c == '}') braced += '}';
    }
  }
  braced += '}';
  return braced;
}

std::optional<std::string> OdbcConnectionString(const OdbcLogin& login) {
  BraceStyle style = BraceStyleOf(login.driver);
  std::string text;
  auto add = [&](const char* key, const std::string& value) {
    std::optional<std::string> braced = OdbcBraced(value, style);
    if (braced) text += std::string(key) + "=" + *braced + ";";
    return braced.has_value();
  };
  if (!add("DRIVER", login.driver) || !add("SERVER", login.server)) return std::nullopt;
  if (login.trusted) {
    text += "Trusted_Connection=Yes;";
  } else if (!add("UID", login.user) || !add("PWD", login.password)) {
    return std::nullopt;
  }
  // Names and messages travel as UTF-8, the program's own text encoding.
  // The string always ends with ";": some drivers keep the closing brace of
  // a braced value that ends the string.
  text += "ClientCharset=UTF-8;";
  return text;
}

}  // namespace norvo::run
