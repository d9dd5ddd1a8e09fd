// Base64 decoding of stored settings: any text either decodes or raises one
// of the two decoding errors, and what decodes encodes back to its canonical form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/Base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    norvo::settings::Bytes bytes = norvo::settings::DecodeBase64(text);
    std::string again = norvo::settings::EncodeBase64(bytes);
    if (norvo::settings::DecodeBase64(again) != bytes) std::abort();
  } catch (const norvo::settings::Base64Error&) {
  }
  std::string round = norvo::settings::DecodeSetting(norvo::settings::EncodeSetting(text));
  (void)round;
  return 0;
}
