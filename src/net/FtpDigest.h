#pragma once
// The digest commands of FTP servers: which ones a FEAT reply offers, and the
// digest in their replies. Servers answer in several shapes, all read here:
//   HASH     "213 SHA-256 0-1048576 9f86d0...08 NAME" (a byte range before the digest)
//   XSHA256  "250 9F86D0...08"   (upper or lower case)
//   XCRC     "250 363A3020", or "250 3A3020" when the CRC has leading zeros
// Pure text, no I/O.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Digest.h"

namespace norvo::net {

struct DigestCommand {
  platform::DigestKind kind = platform::DigestKind::Sha256;
  std::string verb;  // "HASH", "XSHA256", "XSHA1", "XMD5" or "XCRC"
  // For HASH: the algorithm to choose first with "OPTS HASH <name>"; empty
  // when it is the server's current one.
  std::string choose;
};

// The digest commands that the lines of a FEAT reply offer, strongest digest
// first (SHA-256, SHA-1, MD5, CRC32), HASH before the X command of the same digest.
std::vector<DigestCommand> OfferedDigests(const std::vector<std::string>& featLines);

// The digest in the final line of a reply to `kind`'s command, as lower-case
// hex of its full length (a short CRC padded with zeros); nothing when the
// line holds no digest of that length.
std::optional<std::string> DigestInReply(std::string_view line, platform::DigestKind kind);

}  // namespace norvo::net
