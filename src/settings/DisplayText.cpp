#include "settings/DisplayText.h"

#include <cstdio>

#include "settings/Utf8.h"

namespace norvo::settings {
namespace {

// UTF-8 characters, with each byte that is no part of one read as Windows-1252.
std::u32string CharactersOf(std::string_view bytes) {
  std::u32string characters;
  for (char32_t c : DecodeUtf8(bytes)) {
    // DecodeUtf8 gives a stray byte as itself; 0x80..0x9F are the bytes where
    // Windows-1252 and Latin-1 differ. (A C1 control written in UTF-8 lands
    // here too and so shows as a printable character.)
    characters += c >= 0x80 && c <= 0x9F ? Windows1252Character(static_cast<unsigned char>(c)) : c;
  }
  return characters;
}

std::string Escape(char32_t c) {
  switch (c) {
    case U'\r':
      return "\\r";
    case U'\n':
      return "\\n";
    case U'\t':
      return "\\t";
    default:
      break;
  }
  char buffer[12];
  // At most "\\u" and six hex digits: the text always fits.
  static_cast<void>(
      std::snprintf(buffer, sizeof buffer, c <= 0xFF ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c)));
  return buffer;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

}  // namespace

std::string TextOfOutsideBytes(std::string_view bytes) { return EncodeUtf8(CharactersOf(bytes)); }

std::string DisplayText(std::string_view bytes) {
  std::string text;
  for (char32_t c : CharactersOf(bytes)) {
    text += IsControl(c) ? Escape(c) : EncodeUtf8(std::u32string_view(&c, 1));
  }
  return text;
}

}  // namespace norvo::settings
