// The cloud browser's reading of the account service: the Tipo=8 size table
// the customer code, and the restore's temporary name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cloud/CloudData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (norvo::cloud::ParseSizeTable(text).size() > norvo::cloud::kMaxSizePairs) std::abort();
  (void)norvo::cloud::DecodeCustomerCode(text);
  if (!text.empty()) {
    // The temporary file must never be the destination itself.
    if (norvo::cloud::TemporaryName(text) == text) std::abort();
  }
  return 0;
}
