#include "net/SmtpMessage.h"

#include <array>
#include <cstdio>

#include "platform/System.h"
#include "settings/Base64.h"
#include "settings/Text.h"
#include "settings/Utf8.h"

namespace norvo::net {
namespace {

std::string Base64Of(std::string_view bytes) {
  return settings::EncodeBase64(settings::Bytes(bytes.begin(), bytes.end()));
}

bool IsPrintableAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

// A display name and address as a header value: the name quoted when it is
// plain ASCII, encoded otherwise.
std::string Mailbox(std::string_view name, std::string_view address) {
  if (name.empty()) return std::string("<").append(address).append(">");
  std::string shown;
  if (IsPrintableAscii(name) && name.find_first_of("\"\\") == std::string_view::npos) {
    shown = std::string("\"").append(name).append("\"");
  } else {
    shown = EncodeHeaderText(name);
  }
  return shown + " <" + std::string(address) + ">";
}

std::string FoldBase64(const std::string& encoded) {
  std::string folded;
  for (std::size_t at = 0; at < encoded.size(); at += 76) {
    folded += encoded.substr(at, 76);
    folded += "\r\n";
  }
  return folded;
}

}  // namespace

std::vector<std::string> SplitAddresses(std::string_view list, char separator) {
  std::vector<std::string> parts;
  for (const std::string& part : settings::Split(list, std::string_view(&separator, 1))) {
    const std::string_view address = settings::Trim(part);
    if (!address.empty()) parts.emplace_back(address);
  }
  return parts;
}

bool IsPlainAddress(std::string_view address) {
  std::size_t at = address.find('@');
  if (address.empty() || at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos)
    return false;
  for (unsigned char c : address) {
    if (c <= 0x20 || c == 0x7f) return false;
    if (std::string_view("<>()\",;\\[]").find(static_cast<char>(c)) != std::string_view::npos) return false;
  }
  return true;
}

std::string EncodeHeaderText(std::string_view text) {
  if (IsPrintableAscii(text)) return std::string(text);
  // "=?UTF-8?B?" + "?=" is 12 characters; 45 bytes give 60 Base64 characters,
  // so each word stays within 75.
  constexpr std::size_t kMaxBytes = 45;
  std::string result;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    while (end < text.size()) {
      std::size_t next =
          std::min(text.size(), end + settings::Utf8SequenceLength(static_cast<unsigned char>(text[end])));
      if (next - at > kMaxBytes) break;
      end = next;
    }
    if (!result.empty()) result += "\r\n ";
    result += "=?UTF-8?B?" + Base64Of(text.substr(at, end - at)) + "?=";
    at = end;
  }
  return result;
}

std::string ToCrLf(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result += "\r\n";
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

std::string FormatMailDate(std::time_t moment) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::tm local = platform::LocalTime(moment);
  long offset_min = platform::UtcOffsetSeconds(moment) / 60;
  char sign = offset_min < 0 ? '-' : '+';
  if (offset_min < 0) offset_min = -offset_min;
  char text[64];
  // Fields of bounded width: the text always fits.
  static_cast<void>(std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                                  kDays[local.tm_wday], local.tm_mday, kMonths[local.tm_mon],
                                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, sign,
                                  offset_min / 60, offset_min % 60));
  return text;
}

std::string FormatMessage(const MailMessage& message, std::time_t moment, std::string_view message_id) {
  std::string to;
  for (const std::string& recipient : message.recipients) {
    if (!to.empty()) to += ", ";
    to += "<" + recipient + ">";
  }
  std::string headers;
  headers += "Date: " + FormatMailDate(moment) + "\r\n";
  headers += "From: " + Mailbox(message.sender_name, message.sender_address) + "\r\n";
  headers += "To: " + to + "\r\n";
  headers += "Subject: " + EncodeHeaderText(message.subject) + "\r\n";
  headers += "Message-ID: <" + std::string(message_id) + ">\r\n";
  headers += "MIME-Version: 1.0\r\n";
  headers += "Content-Type: text/plain; charset=UTF-8\r\n";
  headers += "Content-Transfer-Encoding: base64\r\n";
  return headers + "\r\n" + FoldBase64(Base64Of(ToCrLf(message.body)));
}

}  // namespace norvo::net
