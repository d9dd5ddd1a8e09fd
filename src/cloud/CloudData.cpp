#include "cloud/CloudData.h"

#include <utility>

#include "settings/Base64.h"
#include "settings/Utf8.h"

namespace norvo::cloud {
namespace {

// The service's bytes as text: UTF-8 stays, other bytes read as Latin-1.
std::string AsText(std::string_view bytes) { return settings::EncodeUtf8(settings::DecodeUtf8(bytes)); }

}  // namespace

std::vector<SizePair> ParseSizeTable(std::string_view reply) {
  std::vector<SizePair> pairs;
  std::string field;
  std::string name;
  bool have_name = false;
  for (char c : reply) {
    if (c != ';') {
      field += c;
      continue;
    }
    if (!have_name) {
      name = AsText(field);
      have_name = true;
    } else {
      if (pairs.size() < kMaxSizePairs) pairs.emplace_back(std::exchange(name, std::string()), AsText(field));
      have_name = false;
    }
    field.clear();
  }
  return pairs;
}

std::string CustomerFolder(const run::AccountFields& fields, std::string_view customerCode,
                           std::string_view computerName) {
  return fields[4] + std::string(customerCode) + "/" + std::string(computerName);
}

std::string DecodeCustomerCode(std::string_view stored) {
  return settings::DecodeStoredSetting(stored).value_or("");
}

std::string TemporaryName(std::string_view destination) {
  std::u32string chars = settings::DecodeUtf8(destination);
  const std::size_t slash = chars.find_last_of(U"/\\");
  const std::size_t name_start = slash == std::u32string::npos ? 0 : slash + 1;
  const std::size_t name_length = chars.size() - name_start;
  std::string fallback = std::string(destination) + ".TMP";
  if (name_length <= 3) return fallback;
  std::string temporary = settings::EncodeUtf8(chars.substr(0, chars.size() - 3)) + "TMP";
  return temporary == destination ? fallback : temporary;
}

}  // namespace norvo::cloud
