// The program's UTF-8 text as UTF-16 for the wide ODBC calls, and back.
#include "run/OdbcHandle.h"
#include "settings/Utf8.h"

namespace norvo::run {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the wide ODBC calls take UTF-16 code units");

OdbcText ToOdbcText(const std::string& utf8) {
  const std::u16string wide = settings::Utf8ToUtf16(utf8);
  return OdbcText(wide.begin(), wide.end());
}

std::string FromOdbcText(const SQLWCHAR* text, std::size_t length) {
  std::u16string wide(length, u'\0');
  for (std::size_t i = 0; i < length; ++i) wide[i] = static_cast<char16_t>(text[i]);
  return settings::Utf16ToUtf8(wide);
}

}  // namespace norvo::run
