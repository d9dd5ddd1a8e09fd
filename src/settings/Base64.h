#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding) over text taken as one
// byte per character. Four settings are stored this way. The decoder's two
// failures reach the caller as Base64Error.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::settings {

using Bytes = std::vector<std::uint8_t>;

// A decoding failure, numbered in the program's own error range.
class Base64Error : public std::runtime_error {
 public:
  static constexpr std::uint32_t kNumber = 0x80040000u;
  explicit Base64Error(const std::string& description) : std::runtime_error(description) {}
  std::uint32_t number() const { return kNumber; }
};

inline constexpr const char* kBase64LengthError =
    "Length of Base64 encoded input string is not a multiple of 4.";
inline constexpr const char* kBase64CharacterError = "Illegal character in Base64 encoded data.";

// Fills the alphabet and reverse tables; later calls do nothing.
void InitAlphabet();
// One byte per character (UTF-8 text decoded to characters); a character above 255 becomes "?".
Bytes TextToBytes(std::string_view text);
// One character per byte (Latin-1), returned as UTF-8.
std::string BytesToText(const Bytes& bytes);
std::string EncodeBase64(const Bytes& bytes);
// Throws Base64Error.
Bytes DecodeBase64(std::string_view text);

std::string EncodeSetting(std::string_view text);
// Throws Base64Error.
std::string DecodeSetting(std::string_view text);
// DecodeSetting of a stored value that may be damaged: the text, or nothing
// with the decoder's message in *error. The caller says what damage means.
std::optional<std::string> DecodeStoredSetting(std::string_view text, std::string* error = nullptr);

}  // namespace norvo::settings
