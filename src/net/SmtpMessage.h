#pragma once
// A plain-text mail and its Internet message form: header words outside ASCII
// encoded as RFC 2047 words, CR LF line ends, the body in Base64 so any
// server carries its bytes unchanged.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::net {

struct MailMessage {
  std::string sender_name;     // display name, UTF-8
  std::string sender_address;  // bare address, no angle brackets
  std::vector<std::string> recipients;
  std::string subject;  // UTF-8
  std::string body;     // UTF-8; line ends become CR LF
};

// Splits "a@x;b@y" at the separator, trimming blanks and dropping empty parts.
std::vector<std::string> SplitAddresses(std::string_view list, char separator = ';');

// True for an address that can go into an SMTP command and a header as it is:
// not empty, one "@", no blanks, control characters, brackets, quotes or commas.
bool IsPlainAddress(std::string_view address);

// The text as it may stand in a header: unchanged when it is printable ASCII,
// else UTF-8 "=?UTF-8?B?...?=" words of at most 75 characters, folded with
// CR LF and a blank, never splitting a character.
std::string EncodeHeaderText(std::string_view text);

// Every line end (CR LF, lone LF, lone CR) made CR LF.
std::string ToCrLf(std::string_view text);

// The RFC 5322 date of a moment in local time, e.g. "Mon, 07 Dec 2026 06:41:28 +0000",
// with English names whatever the process locale.
std::string FormatMailDate(std::time_t moment);

// The whole message (headers, blank line, Base64 body), ready for DATA.
std::string FormatMessage(const MailMessage& message, std::time_t moment, std::string_view message_id);

}  // namespace norvo::net
