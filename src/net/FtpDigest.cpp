#include "net/FtpDigest.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

namespace norvo::net {
namespace {

using platform::DigestKind;

struct KnownDigest {
  DigestKind kind;
  const char* hash_name;  // as HASH names it
  const char* x_verb;
  size_t hex_length;
};

constexpr std::array<KnownDigest, 4> kKnown = {{
    {DigestKind::Sha256, "SHA-256", "XSHA256", 64},
    {DigestKind::Sha1, "SHA-1", "XSHA1", 40},
    {DigestKind::Md5, "MD5", "XMD5", 32},
    {DigestKind::Crc32, "CRC32", "XCRC", 8},
}};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool AllHex(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

}  // namespace

std::vector<DigestCommand> OfferedDigests(const std::vector<std::string>& featLines) {
  std::vector<std::string> verbs;
  std::vector<std::string> hash_names;  // each with its "*" when it is the current one
  for (const std::string& line : featLines) {
    if (line.empty() || line[0] != ' ') continue;  // feature lines are indented
    std::istringstream words(line);
    std::string verb, facts;
    words >> verb >> facts;
    verb = Upper(verb);
    verbs.push_back(verb);
    if (verb != "HASH") continue;
    std::istringstream names(Upper(facts));
    for (std::string name; std::getline(names, name, ';');) {
      if (!name.empty()) hash_names.push_back(name);
    }
  }
  const auto offers = [&verbs](const char* verb) {
    return std::find(verbs.begin(), verbs.end(), verb) != verbs.end();
  };
  std::vector<DigestCommand> offered;
  for (const KnownDigest& known : kKnown) {
    const std::string name = known.hash_name;
    if (std::find(hash_names.begin(), hash_names.end(), name + "*") != hash_names.end()) {
      offered.push_back({known.kind, "HASH", ""});
    } else if (std::find(hash_names.begin(), hash_names.end(), name) != hash_names.end()) {
      offered.push_back({known.kind, "HASH", name});
    }
    if (offers(known.x_verb)) offered.push_back({known.kind, known.x_verb, ""});
  }
  return offered;
}

std::optional<std::string> DigestInReply(std::string_view line, platform::DigestKind kind) {
  const auto known =
      std::find_if(kKnown.begin(), kKnown.end(), [kind](const KnownDigest& k) { return k.kind == kind; });
  if (known == kKnown.end() || line.size() < 4) return std::nullopt;
  std::istringstream words{std::string(line.substr(4))};  // after the code and its separator
  for (std::string word; words >> word;) {
    if (!AllHex(word)) continue;  // the algorithm's name, the byte range, the file's name
    const bool crc = kind == platform::DigestKind::Crc32;
    if (word.size() == known->hex_length || (crc && word.size() < known->hex_length)) {
      std::string hex = std::string(known->hex_length - word.size(), '0') + word;
      for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return hex;
    }
    return std::nullopt;  // the first hex word is the digest: of the wrong length here
  }
  return std::nullopt;
}

}  // namespace norvo::net
