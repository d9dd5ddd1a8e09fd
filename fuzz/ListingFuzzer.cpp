// FTP listings come from a server we do not control: every parser must take
// any text without crashing, and whatever it accepts must be a usable entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ftp/ListingParser.h"

namespace {

void Check(const std::optional<norvo::ftp::FindData>& entry) {
  if (!entry) return;
  if (entry->name.empty() || entry->size < 0) std::abort();
  if (entry->name.find_first_of("\r\n") != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::time_t now = 1796601600;  // a fixed "now" keeps runs repeatable
  Check(norvo::ftp::ParseMlsdLine(text));
  Check(norvo::ftp::ParseUnixListLine(text, now));
  Check(norvo::ftp::ParseDosListLine(text));
  for (bool machine : {true, false}) {
    for (const auto& entry : norvo::ftp::ParseListing(text, machine, now)) Check(entry);
  }
  return 0;
}
