// The number and flag conversions of setting texts never fail on any input
// except by returning nothing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/Conversions.h"
#include "settings/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  double lenient = norvo::settings::LeadingNumber(text);
  (void)norvo::settings::ToInt16(lenient);
  if (auto strict = norvo::settings::StrictNumber(text)) (void)norvo::settings::ToInt16(*strict);
  (void)norvo::settings::ToBoolean(text);
  (void)norvo::settings::Utf8ToWindows1252(text);
  return 0;
}
