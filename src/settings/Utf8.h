#pragma once
// UTF-8 to characters and back. Text in the programs is UTF-8; where a length
// or a byte-per-character rule applies, it applies to characters.
#include <cstddef>
#include <string>
#include <string_view>

namespace norvo::settings {

// The bytes of the sequence that starts with this byte: 2 to 4 for the lead
// byte of a character beyond ASCII, 1 for ASCII and for bytes that cannot
// start a sequence.
std::size_t Utf8SequenceLength(unsigned char lead);

// A byte that does not start a valid sequence stands for itself (Latin-1),
// so no input is lost or refused.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view characters);
// UTF-8 and UTF-16 (surrogate pairs above U+FFFF). Unpaired surrogates read as U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-8 text to Windows-1252 bytes; characters it cannot hold become "?".
// A byte that is not UTF-8 (read as itself by DecodeUtf8) goes back as itself,
// so Windows-1252 text from outside survives the trip unchanged.
std::string Utf8ToWindows1252(std::string_view text);
// The character of a Windows-1252 byte; the five bytes the code page leaves
// undefined stand for themselves.
char32_t Windows1252Character(unsigned char byte);

}  // namespace norvo::settings
