// The account service's reply and the values sent to it: any reply splits
// into at most six fields or is refused, and escaping leaves no unsafe byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "run/AccountService.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)norvo::run::SplitAccountReply(text);
  (void)norvo::run::FirstSixFields(text);
  for (unsigned char c : norvo::run::EscapeQueryValue(text)) {
    if (c <= ' ' || c >= 0x7F || c == '&' || c == '#' || c == '?') std::abort();
  }
  return 0;
}
