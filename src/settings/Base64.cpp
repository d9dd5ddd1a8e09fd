#include "settings/Base64.h"

#include <array>
#include <mutex>

#include "settings/Utf8.h"

namespace norvo::settings {
namespace {

constexpr std::uint8_t kNotInAlphabet = 255;

struct Tables {
  std::array<char, 64> alphabet{};
  std::array<std::uint8_t, 128> reverse{};
};

Tables& TheTables() {
  static Tables tables;
  return tables;
}

}  // namespace

void InitAlphabet() {
  static std::once_flag filled;
  std::call_once(filled, [] {
    Tables& t = TheTables();
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    t.reverse.fill(kNotInAlphabet);
    for (std::uint8_t i = 0; i < 64; ++i) {
      t.alphabet[i] = letters[i];
      t.reverse[static_cast<std::uint8_t>(letters[i])] = i;
    }
  });
}

Bytes TextToBytes(std::string_view text) {
  Bytes bytes;
  for (char32_t c : DecodeUtf8(text)) bytes.push_back(c <= 255 ? static_cast<std::uint8_t>(c) : '?');
  return bytes;
}

std::string BytesToText(const Bytes& bytes) {
  std::u32string characters(bytes.begin(), bytes.end());
  return EncodeUtf8(characters);
}

std::string EncodeBase64(const Bytes& bytes) {
  InitAlphabet();
  const auto& alphabet = TheTables().alphabet;
  const size_t n = bytes.size();
  const size_t data_chars = (n * 4 + 2) / 3;
  std::string out;
  out.reserve((n + 2) / 3 * 4);
  for (size_t i = 0; i < n; i += 3) {
    std::uint8_t b0 = bytes[i];
    std::uint8_t b1 = i + 1 < n ? bytes[i + 1] : 0;
    std::uint8_t b2 = i + 2 < n ? bytes[i + 2] : 0;
    std::uint8_t values[4] = {
        static_cast<std::uint8_t>(b0 >> 2), static_cast<std::uint8_t>(((b0 & 0x03) << 4) | (b1 >> 4)),
        static_cast<std::uint8_t>(((b1 & 0x0F) << 2) | (b2 >> 6)), static_cast<std::uint8_t>(b2 & 0x3F)};
    for (std::uint8_t v : values) {
      out += out.size() < data_chars ? alphabet[v] : '=';
    }
  }
  return out;
}

Bytes DecodeBase64(std::string_view text) {
  InitAlphabet();
  const auto& reverse = TheTables().reverse;
  Bytes in = TextToBytes(text);
  if (in.size() % 4 != 0) throw Base64Error(kBase64LengthError);
  size_t length = in.size();
  while (length > 0 && in[length - 1] == '=') --length;
  const size_t out_length = length * 3 / 4;
  Bytes out(out_length);
  size_t o = 0;
  for (size_t i = 0; i < length; i += 4) {
    std::uint8_t c[4];
    for (size_t k = 0; k < 4; ++k) {
      std::uint8_t ch = i + k < length ? in[i + k] : 'A';
      if (ch >= 128 || reverse[ch] == kNotInAlphabet) throw Base64Error(kBase64CharacterError);
      c[k] = reverse[ch];
    }
    std::uint8_t decoded[3] = {static_cast<std::uint8_t>((c[0] << 2) | (c[1] >> 4)),
                               static_cast<std::uint8_t>(((c[1] & 0x0F) << 4) | (c[2] >> 2)),
                               static_cast<std::uint8_t>(((c[2] & 0x03) << 6) | c[3])};
    for (std::uint8_t byte : decoded) {
      if (o < out_length) out[o++] = byte;
    }
  }
  return out;
}

std::string EncodeSetting(std::string_view text) {
  if (text.empty()) return "";
  return EncodeBase64(TextToBytes(text));
}

std::string DecodeSetting(std::string_view text) {
  if (text.empty()) return "";
  return BytesToText(DecodeBase64(text));
}

std::optional<std::string> DecodeStoredSetting(std::string_view text, std::string* error) {
  try {
    return DecodeSetting(text);
  } catch (const Base64Error& failure) {
    if (error != nullptr) *error = failure.what();
    return std::nullopt;
  }
}

}  // namespace norvo::settings
