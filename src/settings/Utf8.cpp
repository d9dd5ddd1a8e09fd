#include "settings/Utf8.h"

#include <array>
#include <cstdint>

namespace norvo::settings {

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<std::uint8_t>(text[i]);
    const size_t extra = Utf8SequenceLength(byte) - 1;
    char32_t c = extra == 3 ? byte & 0x07 : extra == 2 ? byte & 0x0F : extra == 1 ? byte & 0x1F : byte;
    bool valid = byte < 0x80 || extra > 0;
    if (valid && extra > 0) {
      for (size_t k = 1; k <= extra; ++k) {
        if (i + k >= text.size()) {
          valid = false;
          break;
        }
        auto next = static_cast<std::uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
          valid = false;
          break;
        }
        c = (c << 6) | (next & 0x3F);
      }
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (valid && ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                  (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))) {
      valid = false;
    }
    if (!valid) {
      out.push_back(byte);
      ++i;
    } else {
      out.push_back(c);
      i += extra + 1;
    }
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view characters) {
  std::string out;
  out.reserve(characters.size());
  for (char32_t c : characters) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F (0: undefined there).
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t Windows1252Character(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0 || kHigh[byte - 0x80] == 0) return byte;
  return kHigh[byte - 0x80];
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : DecodeUtf8(text)) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::u32string characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      characters += static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      characters += U'\uFFFD';
    } else {
      characters += unit;
    }
  }
  return EncodeUtf8(characters);
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  for (char32_t c : DecodeUtf8(text)) {
    if (c <= 0xFF) {
      out += static_cast<char>(c);
      continue;
    }
    char mapped = '?';
    for (size_t k = 0; k < kHigh.size(); ++k) {
      if (kHigh[k] != 0 && kHigh[k] == c) mapped = static_cast<char>(0x80 + k);
    }
    out += mapped;
  }
  return out;
}

}  // namespace norvo::settings
