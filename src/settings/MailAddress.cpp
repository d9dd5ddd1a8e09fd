#include "settings/MailAddress.h"

#include <string>

#include "settings/Text.h"

namespace norvo::settings {
namespace {

bool IsAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }
bool IsMailSpecial(char c) { return c == '_' || c == '-' || c == '.' || c == '@'; }

}  // namespace

bool Validar_Mail(std::string_view address) {
  const std::string mail = AsciiLower(Trim(address, " "));
  if (mail.empty() || !IsAlnum(mail.front()) || !IsAlnum(mail.back())) return false;
  for (std::size_t i = 0; i < mail.size(); ++i) {
    if (!IsAlnum(mail[i]) && !IsMailSpecial(mail[i])) return false;
    if (i > 0 && IsMailSpecial(mail[i]) && IsMailSpecial(mail[i - 1])) return false;
  }
  const std::size_t at = mail.find('@');
  if (at == std::string::npos || mail.find('@', at + 1) != std::string::npos) return false;
  return mail.find('.', at) != std::string::npos;
}

}  // namespace norvo::settings
